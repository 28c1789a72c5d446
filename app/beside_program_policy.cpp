#include "app/beside_program_policy.h"

namespace qzf {

BuildPolicy BesideProgramPolicy(const char* dictionaryPath) {
  BuildPolicy policy;
  policy.workFile = FontWorkFile::kInPlace;
  policy.checkFirst = false;
  policy.dictionaryCopyPath = dictionaryPath;
  return policy;
}

}  // namespace qzf
