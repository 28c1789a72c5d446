// The command-line front end: it parses arguments, converts text at the
// terminal's edge and prints; the work is done by the library core.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

#include "cli/commands.h"
#include "cli/interrupt_cleanup.h"
#include "cli/terminal.h"
#include "dict/dict_diagnostics.h"

int main(int argc, char** argv) {
  // The name is given: the arguments reach the parser without the program's.
  CLI::App app{
      "qzffont makes a personal font file (F_FONTJ.qzf) for the game, with its Chinese text drawn in any "
      "installed font.",
      "qzffont"};
  app.set_version_flag("--version", std::string("qzffont ") + QZF_VERSION);
  app.require_subcommand(1);
  int status = 0;
  qzf::cli::AddBuildCommand(app, status);
  qzf::cli::AddFontsCommand(app, status);
  qzf::cli::AddCheckCommand(app, status);
  qzf::cli::AddDiffCommand(app, status);
  qzf::cli::AddCellCommand(app, status);
  qzf::cli::AddPreviewCommand(app, status);
  qzf::cli::AddRenderCommand(app, status);
  qzf::cli::AddDataCommand(app, status);
  qzf::cli::AddDictCommand(app, status);
  qzf::cli::AddStudioCommand(app, status);
  qzf::cli::AddSheetCommand(app, status);

  qzf::cli::InstallInterruptCleanup();
  qzf::SetDictDiagnosticSink(&qzf::cli::DiagnosticToTerminal);
  std::vector<std::string> args = qzf::cli::Utf8Arguments(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  std::reverse(args.begin(), args.end());  // CLI11 takes them last first
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  return status;
}
