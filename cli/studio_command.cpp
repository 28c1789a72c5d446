// studio: the local web page for choosing, tuning and previewing a font.
#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "cli/terminal.h"
#include "studio/studio_server.h"

namespace qzf::cli {
namespace {

struct StudioArguments {
  int port = 0;
  bool noBrowser = false;
  std::string base, dict, outDir;
  int idleSeconds = 300;
  std::vector<std::string> fontFiles;
};

int RunStudioCommand(const StudioArguments& a) {
  studio::StudioOptions options;
  if (a.port < 0 || a.port > 65535) return Error("--port takes 1 to 65535 (or 0 for a free one)");
  options.port = static_cast<std::uint16_t>(a.port);
  options.openBrowser = !a.noBrowser;
  const auto base = ToSystemPath(a.base);
  const auto dict = ToSystemPath(a.dict);
  const auto outDir = ToSystemPath(a.outDir);
  if (!base || !dict || !outDir) return Error("a path holds characters this system cannot use in file names");
  options.basePath = *base;
  options.dictionaryPath = *dict;
  options.outputFolder = a.outDir.empty() ? studio::DefaultOutputFolder() : *outDir;
  if (a.idleSeconds < 1) return Error("--idle-seconds takes a positive number");
  options.idleSeconds = a.idleSeconds;
  for (const std::string& file : a.fontFiles) {
    const auto path = ToSystemPath(file);
    if (!path) return Error("a path holds characters this system cannot use in file names");
    options.fontFiles.push_back(*path);
  }
  options.version = QZF_VERSION;
  return studio::RunStudio(options);
}

}  // namespace

void AddStudioCommand(CLI::App& app, int& status) {
  auto arguments = std::make_shared<StudioArguments>();
  CLI::App* studio =
      app.add_subcommand("studio", "A local web page to choose, tune and preview the font, then build it");
  studio->add_option("--port", arguments->port, "Port on 127.0.0.1 and ::1 (default: a free one at random)");
  studio->add_flag("--no-browser", arguments->noBrowser, "Only print the page's address; open no browser");
  studio->add_option("--base", arguments->base, "Your own game's F_FONTJ.qzf to start from (only read)");
  studio->add_option("--dict", arguments->dict, "Code-mapping dictionary instead of the embedded one");
  studio->add_option("--out-dir", arguments->outDir,
                     "The folder builds and styles are written into (default: the current folder; on Windows the "
                     "program's folder)");
  studio->add_option("--idle-seconds", arguments->idleSeconds, "End this long after the last page was heard from")
      ->capture_default_str();
  studio->add_option("--font-file", arguments->fontFiles,
                     "A font file the page may use besides those it sends and those in the out-dir (repeatable; a "
                     "style names it by this same path)");
  studio->callback([arguments, &status] { status = RunStudioCommand(*arguments); });
}

}  // namespace qzf::cli
