#include "fontpatch/pass_reporter.h"

#include <cstdio>

#include "fontpatch/pass_messages.h"

namespace qzf {

void StdoutPassReporter::Message(std::string_view gbk) {
  std::fwrite(gbk.data(), 1, gbk.size(), stdout);
  std::fflush(stdout);
}

void StdoutPassReporter::GlyphRendered(std::uint32_t, std::uint32_t) { std::fputs(pass_text::kGlyphDone, stdout); }

}  // namespace qzf
