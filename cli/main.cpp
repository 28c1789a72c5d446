// The command-line front end. It only parses arguments and prints; the work
// is done by the library core.
#include <CLI/CLI.hpp>

#include <cstdio>

int main(int argc, char** argv) {
  CLI::App app{"qzffont: makes a personal font file (F_FONTJ.qzf) for the game from any installed font"};
  app.set_version_flag("--version", std::string("qzffont ") + QZF_VERSION);
  app.require_subcommand(0, 1);
  CLI11_PARSE(app, argc, argv);
  if (app.get_subcommands().empty()) std::puts(app.help().c_str());
  return 0;
}
