// studio: the local web page for choosing, tuning and previewing a font.
#include <memory>

#include "cli/cli_language.h"
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
  if (a.port < 0 || a.port > 65535) return Error(Text(MessageId::kPortRange));
  options.port = static_cast<std::uint16_t>(a.port);
  options.openBrowser = !a.noBrowser;
  const auto base = ToSystemPath(a.base);
  const auto dict = ToSystemPath(a.dict);
  const auto outDir = ToSystemPath(a.outDir);
  if (!base || !dict || !outDir) return Error(Text(MessageId::kPathsUnusable));
  options.basePath = *base;
  options.dictionaryPath = *dict;
  options.outputFolder = a.outDir.empty() ? studio::DefaultOutputFolder() : *outDir;
  if (a.idleSeconds < 1) return Error(Text(MessageId::kIdleSecondsPositive));
  options.idleSeconds = a.idleSeconds;
  for (const std::string& file : a.fontFiles) {
    const auto path = ToSystemPath(file);
    if (!path) return Error(Text(MessageId::kPathsUnusable));
    options.fontFiles.push_back(*path);
  }
  options.version = QZF_VERSION;
  options.language = Language();
  return studio::RunStudio(options);
}

}  // namespace

CommandDescription StudioCommand(int& status) {
  auto arguments = std::make_shared<StudioArguments>();
  CommandDescription studio{"studio", "A local web page to choose, tune and preview the font, then build it"};
  studio.options = {
      {"--port", "Port on 127.0.0.1 and ::1 (default: a free one at random)", &arguments->port},
      {"--no-browser", "Only print the page's address; open no browser", &arguments->noBrowser},
      {"--base", "Your own game's F_FONTJ.qzf to start from (only read)", &arguments->base},
      {"--dict", "Code-mapping dictionary instead of the embedded one", &arguments->dict},
      {"--out-dir",
       "The folder builds and styles are written into (default: the current folder; on Windows the "
       "program's folder)",
       &arguments->outDir},
      {"--idle-seconds", "End this long after the last page was heard from", &arguments->idleSeconds, false, true},
      {"--font-file",
       "A font file the page may use besides those it sends and those in the out-dir (repeatable; a style names "
       "it by this same path)",
       &arguments->fontFiles}};
  studio.run = [arguments, &status] { status = RunStudioCommand(*arguments); };
  return studio;
}

}  // namespace qzf::cli
