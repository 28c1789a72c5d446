#include "cli/input_files.h"

#include "cli/cli_language.h"
#include "cli/library_path.h"
#include "cli/terminal.h"
#include "dict/load_dictionary_file.h"
#include "fontpatch/font_file_report.h"

namespace qzf::cli {

std::optional<std::vector<unsigned char>> LoadInputFile(const std::string& utf8Path, int& status, bool mustBeFont) {
  const auto path = LibraryPath(utf8Path, PathUse::kFileCalls);
  if (!path) {
    status = 1;  // LibraryPath said why
    return std::nullopt;
  }
  auto bytes = ReadWholeFile(path->c_str());
  if (!bytes) {
    status = Error(Text(MessageId::kCannotRead, utf8Path));
    return std::nullopt;
  }
  if (mustBeFont && !IsAcceptedFontImage(bytes->data(), bytes->size())) {
    status = Error(Text(MessageId::kNotGameFont, utf8Path));
    return std::nullopt;
  }
  return bytes;
}

bool LoadInputDictionary(QorvStringDict& dictionary, const std::string& utf8Path, int& status) {
  if (utf8Path.empty()) {
    if (LoadEmbeddedDictionary(dictionary) != 0) return true;
    status = Error(Text(MessageId::kNoEmbeddedDictionary));
    return false;
  }
  const auto path = LibraryPath(utf8Path, PathUse::kLibraryBuffer);
  if (!path) {
    status = 1;  // LibraryPath said why
    return false;
  }
  if (LoadDictionaryFile(dictionary, path->c_str()) == 0) {
    status = Error(Text(MessageId::kDictionaryNotLoaded, Text(MessageId::kNamedDictionary, utf8Path)));
    return false;
  }
  return true;
}

}  // namespace qzf::cli
