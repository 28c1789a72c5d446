// The subcommands of qzffont. Each describes itself; its run stores the exit
// status in `status`.
#pragma once

#include "cli/command_line.h"

namespace qzf::cli {

CommandDescription BuildCommand(int& status);
CommandDescription FontsCommand(int& status);
CommandDescription CheckCommand(int& status);
CommandDescription DiffCommand(int& status);
CommandDescription CellCommand(int& status);
CommandDescription PreviewCommand(int& status);
CommandDescription RenderCommand(int& status);
CommandDescription DataCommand(int& status);
CommandDescription DictCommand(int& status);
CommandDescription StudioCommand(int& status);
CommandDescription SheetCommand(int& status);

}  // namespace qzf::cli
