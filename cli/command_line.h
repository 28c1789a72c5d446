// The command line's commands and options as plain data, so that one file
// alone turns them into the argument parser's. Each command file describes
// its options and what to run; nothing else knows the parser.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace qzf::cli {

struct OptionDescription {
  std::string names{};  // "--out", "-q,--quiet", or a positional's "FILE"
  std::string help{};
  // Where the value goes; a bool is a flag, a list takes the option repeated.
  std::variant<std::string*, std::optional<std::string>*, std::vector<std::string>*, bool*, int*, unsigned*,
               std::int64_t*>
      target{};
  bool required = false;
  bool showDefault = false;
  std::optional<std::pair<std::int64_t, std::int64_t>> range{};
  std::string excludes{};  // the names of another option of the same command
};

struct CommandDescription {
  std::string name{};
  std::string help{};
  std::vector<OptionDescription> options{};
  std::vector<CommandDescription> subcommands{};
  bool needsSubcommand = false;
  std::function<void()> run{};  // after its options were read
};

// Parses `args` (the program's name left out) for `program` and runs the
// command chosen. --help and --version print and give 0; an argument the
// parser refuses gives one line "NAME: ..." on standard error and status 2.
// Otherwise the status is `status` as the command left it.
int RunCommandLine(const CommandDescription& program, const std::string& version, std::vector<std::string> args,
                   const int& status);

}  // namespace qzf::cli
