// The subcommands of qzffont. Each adds itself to the application; its
// callback stores the exit status in `status`.
#pragma once

namespace CLI {
class App;
}

namespace qzf::cli {

void AddBuildCommand(CLI::App& app, int& status);
void AddFontsCommand(CLI::App& app, int& status);
void AddCheckCommand(CLI::App& app, int& status);
void AddDiffCommand(CLI::App& app, int& status);
void AddCellCommand(CLI::App& app, int& status);
void AddPreviewCommand(CLI::App& app, int& status);
void AddRenderCommand(CLI::App& app, int& status);
void AddDataCommand(CLI::App& app, int& status);
void AddDictCommand(CLI::App& app, int& status);
void AddStudioCommand(CLI::App& app, int& status);
void AddSheetCommand(CLI::App& app, int& status);

}  // namespace qzf::cli
