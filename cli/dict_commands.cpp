// qzffont dict: reading, editing and converting code-mapping dictionaries.
// Keys and texts are typed as UTF-8 (converted to GBK) or as 0xHHHH bytes.
#include <cctype>
#include <cstdio>
#include <memory>

#include "cli/cli_language.h"
#include "cli/commands.h"
#include "cli/library_path.h"
#include "cli/terminal.h"
#include "cli/write_failure.h"
#include "dict/load_dictionary_file.h"
#include "fileutil/atomic_file_write.h"
#include "platform/win32.h"

namespace qzf::cli {
namespace {

// "0x82A0" as the bytes 82 A0; anything else as UTF-8 text converted to GBK.
std::optional<std::string> ParseText(const std::string& typed) {
  if (typed.size() > 2 && typed[0] == '0' && (typed[1] == 'x' || typed[1] == 'X') && typed.size() % 2 == 0) {
    std::string bytes;
    for (std::size_t i = 2; i < typed.size(); i += 2) {
      if (!std::isxdigit(static_cast<unsigned char>(typed[i])) ||
          !std::isxdigit(static_cast<unsigned char>(typed[i + 1])))
        return ToGbk(typed);
      bytes.push_back(static_cast<char>(std::stoi(typed.substr(i, 2), nullptr, 16)));
    }
    if (bytes.find('\0') != std::string::npos) return std::nullopt;
    return bytes;
  }
  return ToGbk(typed);
}

std::string Hex(const char* bytes, std::uint32_t length) {
  std::string out = "0x";
  char two[3];
  for (std::uint32_t i = 0; i < length; ++i) {
    std::snprintf(two, sizeof(two), "%02X", static_cast<unsigned char>(bytes[i]));
    out += two;
  }
  return out;
}

std::string Describe(const DictRecord& entry) {
  std::string line = Hex(entry.ENG, entry.ENGLength) + "\t" + ToTerminal(std::string_view(entry.CHI, entry.CHILength));
  if (entry.Remark00Length) {
    // Appended in two steps: "\t" + a temporary trips gcc 12's -Wrestrict at -O3.
    line += '\t';
    line += ToTerminal(std::string_view(entry.Remark00, entry.Remark00Length));
  }
  return line;
}

bool Load(QorvStringDict& dictionary, const std::string& file, int& status) {
  const auto path = LibraryPath(file, PathUse::kLibraryBuffer);
  if (!path) {
    status = 1;
    return false;
  }
  if (LoadDictionaryFile(dictionary, path->c_str()) == 0) {
    status = Error(Text(MessageId::kDictionaryNotLoadedShort, file));
    return false;
  }
  return true;
}

bool Exists(const std::string& systemPath) { return GetFileAttributesA(systemPath.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A new file is asked for unless appending was meant. Either way the text
// goes to a temporary file (for --append, after a copy of the old file) that
// takes OUT's place only when complete: a failure leaves OUT as it was.
int Save(const QorvStringDict& dictionary, const std::string& out, bool append) {
  const auto path = LibraryPath(out, PathUse::kFileCalls, kTemporarySuffixLength);
  if (!path) return 1;
  if (!append && Exists(*path)) return Error(Text(MessageId::kFileExists, out));
  const AtomicWriteResult saved = WriteFileAtomically(
      *path, append ? AtomicWriteMode::kAppendToCopy : AtomicWriteMode::kNewFile,
      [&](const char* temporary) { return dictionary.SaveToTXTFileA(temporary) != kDictSaveFailed; });
  if (!saved) return Error(DescribeWriteFailure(out, saved));
  std::printf("%s\n", Text(MessageId::kWroteEntries, std::to_string(dictionary.count()), out).c_str());
  return 0;
}

struct DictOptions {
  std::string file, key, eng, chi, remark, out, bin;
  std::uint32_t index = 0;
  std::vector<std::string> pieces;
  bool append = false;
};

int RunList(const DictOptions& o) {
  QorvStringDict dictionary;
  int status = 0;
  if (!Load(dictionary, o.file, status)) return status;
  for (std::uint32_t i = 0; i < dictionary.count(); ++i)
    std::printf("%u\t%s\n", static_cast<unsigned>(i), Describe(dictionary.records()[i]).c_str());
  return 0;
}

int RunLookup(const DictOptions& o) {
  QorvStringDict dictionary;
  int status = 0;
  if (!Load(dictionary, o.file, status)) return status;
  const auto key = ParseText(o.key);
  if (!key) return Error(Text(MessageId::kKeyNotText));
  const DictRecord* entry = dictionary.FindRecordA(key->c_str());
  if (!entry) return Error(Text(MessageId::kNoEntryFor, o.key));
  std::printf("%u\t%s\n", static_cast<unsigned>(entry - dictionary.records()), Describe(*entry).c_str());
  return 0;
}

int RunAdd(const DictOptions& o) {
  QorvStringDict dictionary;
  int status = 0;
  if (!Load(dictionary, o.file, status)) return status;
  const auto eng = ParseText(o.eng);
  const auto chi = ParseText(o.chi);
  const auto remark = ParseText(o.remark);
  if (!eng || !chi || !remark) return Error(Text(MessageId::kTextsNotText));
  const std::uint32_t before = dictionary.count();
  const DictRecord* entry = dictionary.AddRecordA(eng->c_str(), chi->c_str(), remark->c_str());
  if (!entry) return Error(Text(MessageId::kCannotAddEntry));
  if (dictionary.count() == before) return Error(Text(MessageId::kEntryExists, o.eng));
  return Save(dictionary, o.out, o.append);
}

int RunSet(const DictOptions& o) {
  QorvStringDict dictionary;
  int status = 0;
  if (!Load(dictionary, o.file, status)) return status;
  if (o.index >= dictionary.count())
    return Error(Text(MessageId::kNoEntryNumber, std::to_string(o.index), std::to_string(dictionary.count())));
  const auto chi = ParseText(o.chi);
  if (!chi) return Error(Text(MessageId::kTextNotText));
  dictionary.SetCHIA(o.index, chi->c_str());
  return Save(dictionary, o.out, o.append);
}

int RunToBin(const DictOptions& o) {
  QorvStringDict dictionary;
  int status = 0;
  if (!Load(dictionary, o.file, status)) return status;
  const auto path = LibraryPath(o.out, PathUse::kFileCalls, kTemporarySuffixLength);
  if (!path) return 1;
  std::uint32_t written = 0;
  const AtomicWriteResult saved = WriteFileAtomically(*path, AtomicWriteMode::kReplace, [&](const char* temporary) {
    written = dictionary.SaveToBINFileA(temporary);
    return written != 0 && written != kDictSaveFailed;
  });
  if (written == 0) return Error(Text(MessageId::kTooLargeForBinary, o.file));
  if (!saved) return Error(DescribeWriteFailure(o.out, saved));
  std::printf(
      "%s\n",
      Text(MessageId::kWroteEntriesBytes, std::to_string(dictionary.count()), o.out, std::to_string(written)).c_str());
  return 0;
}

int RunFromBin(const DictOptions& o) {
  QorvStringDict dictionary;
  const auto path = LibraryPath(o.file, PathUse::kLibraryBuffer);
  if (!path) return 1;
  if (dictionary.LoadFromBINFileA(path->c_str()) == 0) {
    if (!IsBinaryDictionaryFile(path->c_str()) && dictionary.LoadFromTXTFileA(path->c_str()) != 0)
      return Error(Text(MessageId::kAlreadyText, o.file));
    return Error(Text(MessageId::kBinaryNotLoaded, o.file));
  }
  return Save(dictionary, o.out, o.append);
}

int RunMatch(const DictOptions& o) {
  QorvStringDict dictionary;
  int status = 0;
  if (!Load(dictionary, o.file, status)) return status;
  static const char* kResults[] = {"no match", "share", "complete"};
  for (const std::string& typed : o.pieces) {
    const auto piece = ParseText(typed);
    if (!piece) return Error(Text(MessageId::kPieceNotText, typed));
    char out[1024] = {};
    const std::uint32_t result = dictionary.MatchPieceA(piece->c_str(), out, sizeof(out));
    std::printf("%s\t%s\t%s\n", typed.c_str(), kResults[result <= 2 ? result : 0],
                result ? ToTerminal(out).c_str() : "");
  }
  return 0;
}

}  // namespace

CommandDescription DictCommand(int& status) {
  auto o = std::make_shared<DictOptions>();
  CommandDescription dict{"dict", "Read, edit and convert code-mapping dictionaries"};
  dict.needsSubcommand = true;
  const std::string keyHelp = "Game code as 0xHHHH (bytes, high first), or text";
  auto add = [&](const char* name, const char* help, int (*run)(const DictOptions&),
                 std::vector<OptionDescription> more, const char* fileHelp = "Dictionary, text or binary image") {
    CommandDescription sub{name, help};
    sub.options.push_back({"FILE", fileHelp, &o->file, true});
    for (OptionDescription& option : more) sub.options.push_back(std::move(option));
    sub.run = [o, run, &status] { status = run(*o); };
    dict.subcommands.push_back(std::move(sub));
  };
  add("list", "Every entry: index, ENG as hex, CHI, remark", &RunList, {});
  add("lookup", "The entry of one key", &RunLookup, {{"KEY", keyHelp, &o->key, true}});
  add("add", "Add an entry in sorted position and save to a new file", &RunAdd,
      {{"ENG", keyHelp, &o->eng, true},
       {"CHI", "The character, as text or 0xHHHH", &o->chi, true},
       {"REMARK", "A free remark", &o->remark},
       {"--out", "New dictionary file", &o->out, true},
       {"--append", "Add to an existing --out file", &o->append}});
  add("set", "Replace the CHI text of entry INDEX and save to a new file", &RunSet,
      {{"INDEX", "Entry index (see `dict list`)", &o->index, true},
       {"--chi", "The new CHI text", &o->chi, true},
       {"--out", "New dictionary file", &o->out, true},
       {"--append", "Add to an existing --out file", &o->append}});
  add("to-bin", "Write the dictionary as a binary image", &RunToBin, {{"OUT", "Image file", &o->out, true}});
  add("from-bin", "Write a binary image back as dictionary text", &RunFromBin,
      {{"OUT", "New text file", &o->out, true}, {"--append", "Add to an existing OUT file", &o->append}},
      "Binary image (from `dict to-bin`)");
  add("match", "Feed pieces of a key to the prefix matcher, printing each share", &RunMatch,
      {{"PIECE", "Pieces, in order", &o->pieces, true}});
  return dict;
}

}  // namespace qzf::cli
