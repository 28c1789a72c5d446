// The studio as a program runs it: loads the data, makes the token, listens
// on the loopback addresses, says where the page is and how to stop, opens
// the page, and serves until Ctrl+C (or a closed console window on
// Windows), the page's "stop" button, or some minutes without a page.
#pragma once

#include <cstdint>
#include <string>
#include <vector>
#include "i18n/message_catalog.h"

namespace qzf::studio {

struct StudioOptions {
  std::uint16_t port = 0;  // 0: a free port chosen at random
  bool openBrowser = true;
  std::string basePath;  // system byte paths; empty: embedded data
  std::string dictionaryPath;
  std::string outputFolder;  // where builds and styles are written
  int idleSeconds = 300;     // with no page heard from for this long, end
  std::string version;
  std::vector<std::string> fontFiles;                    // system byte paths a style may name too
  MessageLanguage language = MessageLanguage::kEnglish;  // of what goes wrong at the start
};

// The process's exit status: 0 after a normal end.
int RunStudio(const StudioOptions& options);

// Where the studio writes when no folder is given: the current folder, or
// on Windows the program's own folder. System byte path.
std::string DefaultOutputFolder();

}  // namespace qzf::studio
