// The subcommands of qzffont. Each describes itself; its run stores the exit
// status in `status`.
#pragma once

#include "cli/command_line.h"

namespace qzf::cli {

CommandSpec BuildCommand(int& status);
CommandSpec FontsCommand(int& status);
CommandSpec CheckCommand(int& status);
CommandSpec DiffCommand(int& status);
CommandSpec CellCommand(int& status);
CommandSpec PreviewCommand(int& status);
CommandSpec RenderCommand(int& status);
CommandSpec DataCommand(int& status);
CommandSpec DictCommand(int& status);
CommandSpec StudioCommand(int& status);
CommandSpec SheetCommand(int& status);

}  // namespace qzf::cli
