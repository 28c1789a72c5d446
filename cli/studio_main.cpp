// qzffont-studio.exe: the studio for a double-click on Windows. A console
// window shows where the page is and that closing the window stops it; the
// page opens in the default browser. It takes the options of `qzffont
// studio`.
#include <cstdio>

#include "cli/cli_language.h"
#include "cli/commands.h"
#include "cli/terminal.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
  int status = 0;
  qzf::cli::CommandDescription program{"qzffont-studio", "qzffont font studio"};
  program.subcommands.push_back(qzf::cli::StudioCommand(status));
  std::vector<std::string> args = qzf::cli::Utf8Arguments(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  args.insert(args.begin(), "studio");
#ifdef _WIN32
  SetConsoleTitleW(L"qzffont 字体工作室");
#endif
  status = qzf::cli::RunCommandLine(program, "", std::move(args), status);
  if (status != 0) {
    // A double-clicked window would close before the message could be read.
    std::printf("%s\n", qzf::cli::Text(qzf::MessageId::kStudioDidNotStart).c_str());
    std::fflush(stdout);
    std::getchar();
  }
  return status;
}
