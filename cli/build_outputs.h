// The files one build writes: the font, and the saved style and the record
// when asked for. Each is checked before the build starts and put in place
// with the others at its end, so that a failed build leaves every one as it
// was, and a late failure is reported as what it changed and what it did not.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fileutil/pending_file.h"
#include "fontbuild/font_build.h"

namespace qzf::cli {

class BuildOutputs {
 public:
  // The font's place, checked and left as it was (the build lays its own
  // work file down). 0, or 1 after one line.
  int CheckFont(const std::string& utf8Path, const std::string& systemPath);
  // Another output, its temporary file laid down now. 0, or 1 after one line.
  int Reserve(const std::string& utf8Path);
  // Its content, into that temporary file. 0, or 1 after one line.
  int Fill(const std::string& utf8Path, const std::string& content);
  // The font first, then the others as reserved. 0, or 1 after one line
  // that names what was written and what was not.
  int Commit(UncommittedFont& font);

 private:
  struct Output {
    std::string shown;  // as the user typed it
    std::unique_ptr<PendingFile> file;
  };
  std::string font_;
  std::vector<Output> outputs_;
};

}  // namespace qzf::cli
