// The only file that includes the argument parser: it is slow to compile.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

#include "cli/terminal.h"

namespace qzf::cli {
namespace {

template <typename... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

CLI::Option* AddOption(CLI::App& app, const OptionSpec& spec) {
  CLI::Option* option =
      std::visit(Overloaded{[&](bool* flag) { return app.add_flag(spec.names, *flag, spec.help); },
                            // Given, even as '', is told apart from not given.
                            [&](std::optional<std::string>* text) {
                              return app.add_option_function<std::string>(
                                  spec.names, [text](const std::string& value) { *text = value; }, spec.help);
                            },
                            [&](auto* value) { return app.add_option(spec.names, *value, spec.help); }},
                 spec.target);
  if (spec.required) option->required();
  if (spec.showDefault) option->capture_default_str();
  if (spec.range) option->check(CLI::Range(spec.range->first, spec.range->second));
  return option;
}

void AddCommand(CLI::App& app, const CommandSpec& spec) {
  for (const OptionSpec& option : spec.options) AddOption(app, option);
  for (const OptionSpec& option : spec.options)
    if (!option.excludes.empty()) app.get_option(option.names)->excludes(option.excludes);
  for (const CommandSpec& sub : spec.subcommands) AddCommand(*app.add_subcommand(sub.name, sub.help), sub);
  if (spec.needsSubcommand) app.require_subcommand(1);
  if (spec.run) app.callback(spec.run);
}

// The parser's message on one line, any control character in what the user
// typed escaped.
std::string OneLine(const std::string& message) {
  std::string out;
  for (const char c : message) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      out += out.empty() || out.back() == ' ' ? "" : " ";
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof(escaped), "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

}  // namespace

int RunCommandLine(const CommandSpec& program, const std::string& version, std::vector<std::string> args,
                   const int& status) {
  CLI::App app{program.help, program.name};
  if (!version.empty()) app.set_version_flag("--version", version);
  AddCommand(app, program);
  std::reverse(args.begin(), args.end());  // CLI11 takes them last first
  try {
    app.parse(args);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version
  } catch (const CLI::ParseError& e) {
    std::string text = e.what();
    // "--weight: At Most 1 required but received 2": say it as a person would.
    if (const std::size_t colon = text.find(": At Most 1 required"); colon != std::string::npos)
      text = text.substr(0, colon) + ": given more than once";
    return Error(OneLine(text) + " (" + program.name + " --help lists the options)", 2);
  }
  return status;
}

}  // namespace qzf::cli
