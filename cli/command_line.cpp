// The only file that includes the argument parser: it is slow to compile.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>

#include "cli/cli_language.h"
#include "cli/terminal.h"
#include "i18n/locale_language.h"

namespace qzf::cli {
namespace {

template <typename... F>
struct Overloaded : F... {
  using F::operator()...;
};
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

CLI::Option* AddOption(CLI::App& app, const OptionDescription& described) {
  CLI::Option* option =
      std::visit(Overloaded{[&](bool* flag) { return app.add_flag(described.names, *flag, described.help); },
                            // Given, even as '', is told apart from not given.
                            [&](std::optional<std::string>* text) {
                              return app.add_option_function<std::string>(
                                  described.names, [text](const std::string& value) { *text = value; }, described.help);
                            },
                            [&](auto* value) { return app.add_option(described.names, *value, described.help); }},
                 described.target);
  if (described.required) option->required();
  if (described.showDefault) option->capture_default_str();
  if (described.range) option->check(CLI::Range(described.range->first, described.range->second));
  return option;
}

void AddCommand(CLI::App& app, const CommandDescription& described) {
  for (const OptionDescription& option : described.options) AddOption(app, option);
  for (const OptionDescription& option : described.options)
    if (!option.excludes.empty()) app.get_option(option.names)->excludes(option.excludes);
  for (const CommandDescription& sub : described.subcommands) AddCommand(*app.add_subcommand(sub.name, sub.help), sub);
  if (described.needsSubcommand) app.require_subcommand(1);
  if (described.run) app.callback(described.run);
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

// The parser's usual messages said as a person would, in the user's
// language; any other as the parser has it.
std::string ParserMessage(const std::string& text) {
  const auto endsWith = [&text](std::string_view end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  };
  // "--weight: At Most 1 required but received 2"
  if (const std::size_t colon = text.find(": At Most 1 required"); colon != std::string::npos)
    return Text(MessageId::kGivenTwice, text.substr(0, colon));
  // "--face: 1 required TEXT missing"
  if (const std::size_t colon = text.find(": ");
      colon != std::string::npos && endsWith(" missing") && text.find(" required ", colon) != std::string::npos)
    return Text(MessageId::kValueMissing, text.substr(0, colon));
  for (const std::string_view lead :
       {"The following argument was not expected: ", "The following arguments were not expected: "}) {
    if (text.compare(0, lead.size(), lead) == 0) return Text(MessageId::kNotExpected, text.substr(lead.size()));
  }
  if (text == "A subcommand is required") return Text(MessageId::kCommandNeeded);
  // "--out is required"
  if (endsWith(" is required") && text.find(' ') == text.size() - std::string_view(" is required").size())
    return Text(MessageId::kOptionNeeded, text.substr(0, text.find(' ')));
  return text;
}

}  // namespace

int RunCommandLine(const CommandDescription& program, const std::string& version, std::vector<std::string> args,
                   const int& status) {
  CLI::App app{program.help, program.name};
  if (!version.empty()) app.set_version_flag("--version", version);
  // --lang before or after the command's name: the commands pass what they
  // do not know to the program (set before they are added: they inherit it).
  SetLanguage(SystemLanguage());
  app.fallthrough();
  app.add_option_function<std::string>(
         "--lang", [](const std::string& name) { SetLanguage(*LanguageNamed(name)); },
         "Language of the messages: zh (Chinese) or en (English); by default the system's")
      ->check(CLI::IsMember({"zh", "en"}))
      ->trigger_on_parse();
  AddCommand(app, program);
  std::reverse(args.begin(), args.end());  // CLI11 takes them last first
  try {
    app.parse(args);
  } catch (const CLI::Success& e) {
    return app.exit(e);  // --help, --version
  } catch (const CLI::ParseError& e) {
    return Error(Text(MessageId::kParseError, OneLine(ParserMessage(e.what())), program.name), 2);
  }
  return status;
}

}  // namespace qzf::cli
