#include "cli/record_file.h"

#include "cli/output_file.h"

namespace qzf::cli {

int WriteRecordFile(const std::string& utf8Path, const std::string& record) {
  return WriteOutputFile(utf8Path, record);
}

}  // namespace qzf::cli
