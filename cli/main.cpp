// The command-line front end: it parses arguments, converts text at the
// terminal's edge and prints; the work is done by the library core.
#include <algorithm>
#include <cstdio>

#include "cli/commands.h"
#include "cli/interrupt_cleanup.h"
#include "cli/terminal.h"
#include "dict/dict_diagnostics.h"

int main(int argc, char** argv) {
  int status = 0;
  qzf::cli::CommandDescription program{
      "qzffont",
      "qzffont makes a personal font file (F_FONTJ.qzf) for the game, with its Chinese text drawn in any "
      "installed font."};
  program.needsSubcommand = true;
  program.subcommands = {
      qzf::cli::BuildCommand(status),  qzf::cli::FontsCommand(status), qzf::cli::CheckCommand(status),
      qzf::cli::DiffCommand(status),   qzf::cli::CellCommand(status),  qzf::cli::PreviewCommand(status),
      qzf::cli::RenderCommand(status), qzf::cli::DataCommand(status),  qzf::cli::DictCommand(status),
      qzf::cli::StudioCommand(status), qzf::cli::SheetCommand(status)};

  qzf::cli::InstallInterruptCleanup();
  qzf::SetDictDiagnosticSink(&qzf::cli::DiagnosticToTerminal);
  std::vector<std::string> args = qzf::cli::Utf8Arguments(argc, argv);
  if (!args.empty()) args.erase(args.begin());
  return qzf::cli::RunCommandLine(program, std::string("qzffont ") + QZF_VERSION, std::move(args), status);
}
