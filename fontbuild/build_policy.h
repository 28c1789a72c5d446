// How a front end has the build lay its files down and meet its failures.
// The default is the checked way of the command line and the studio; the
// window hands in its own (app/beside_program_policy.h).
#pragma once

#include <string>

namespace qzf {

// Where the passes work.
enum class FontWorkFile {
  // A hidden file beside the output (OUT.font-PID.tmp), renamed over the
  // output once every pass succeeded: a failed build leaves no trace.
  kTemporaryThenRename,
  // The output itself: the stock copy is laid down there and each pass
  // rewrites it.
  kInPlace,
};

struct BuildPolicy {
  FontWorkFile workFile = FontWorkFile::kTemporaryThenRename;
  // Face, base file and dictionary are checked before the passes, and a build
  // stops at the first pass that fails. Without: the passes are the checks,
  // and each runs whatever the one before it did.
  bool checkFirst = true;
  // Where the embedded dictionary is laid down and read from (hidden, and
  // removed when the build ends); empty: it is read straight from the
  // program.
  std::string dictionaryCopyPath;
};

}  // namespace qzf
