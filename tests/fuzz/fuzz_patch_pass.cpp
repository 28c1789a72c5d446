// The rewrite pass over a font file with a few drawn codes and a scripted
// glyph source of arbitrary metrics and bitmaps. Whatever the glyphs, no
// write may leave a drawn cell: every byte outside the cells the pass reports
// drawn must come back unchanged, and a failed pass must leave the file as it
// was. The file is the full 20 MB (the pass refuses less) on tmpfs, and only
// a handful of codes have entries, so that an iteration stays quick.
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dict/compare_key.h"
#include "fileutil/file_range.h"
#include "fontpatch/font_format.h"
#include "fontpatch/pass_messages.h"
#include "fontpatch/patch_pass.h"
#include "tests/fontpatch/scripted_glyphs.h"
#include "tests/support/dictionary_text.h"

namespace {

using qzf::kFontFileLength;
using qzf::kIndexedGlyphCount;

const std::string kDirectory = "/dev/shm/";
const std::string kFontPath = kDirectory + "qzf-fuzz-pass-" + std::to_string(getpid()) + ".qzf";
const std::string kDictPath = kDirectory + "qzf-fuzz-pass-" + std::to_string(getpid()) + ".txt";

// Distinct two-byte codes, as the game's table holds them.
std::uint16_t CodeOf(std::uint32_t i) { return static_cast<std::uint16_t>((0x88 + i / 150) * 256 + 0x40 + i % 150); }

// Every 4 KB block differs from its neighbours, so a byte written to the
// wrong place shows. Built by copying blocks: a loop per byte takes seconds
// in an instrumented build.
std::vector<unsigned char> MakeBaseImage() {
  std::vector<unsigned char> bytes(kFontFileLength + 8);
  constexpr std::size_t kBlock = 4096;
  for (std::size_t i = 0; i < kBlock; ++i) bytes[i] = static_cast<unsigned char>(i * 131 + 7);
  for (std::size_t at = kBlock; at < bytes.size(); at += kBlock) {
    std::memcpy(bytes.data() + at, bytes.data(), std::min(kBlock, bytes.size() - at));
    bytes[at] = static_cast<unsigned char>(at / kBlock);
    bytes[at + 1] = static_cast<unsigned char>(at / kBlock >> 8);
  }
  std::memcpy(bytes.data(), &kIndexedGlyphCount, 4);
  for (std::uint32_t i = 0; i < kIndexedGlyphCount; ++i) {
    const std::uint16_t code = CodeOf(i);
    bytes[4 + 2 * i] = static_cast<unsigned char>(code & 0xFF);
    bytes[4 + 2 * i + 1] = static_cast<unsigned char>(code >> 8);
  }
  return bytes;
}

void WriteFile(const std::string& path, const void* data, std::size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) __builtin_trap();
  if (size != 0 && std::fwrite(data, 1, size, f) != size) __builtin_trap();
  std::fclose(f);
}

// The whole file into `bytes`, whose storage is kept from call to call.
void ReadFile(const std::string& path, std::vector<unsigned char>& bytes) {
  bytes.clear();
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return;
  std::fseek(f, 0, SEEK_END);
  bytes.resize(static_cast<std::size_t>(std::ftell(f)));
  std::fseek(f, 0, SEEK_SET);
  if (std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) __builtin_trap();
  std::fclose(f);
}

bool SameRange(const unsigned char* a, const unsigned char* b, std::size_t from, std::size_t to) {
  return from >= to || std::memcmp(a + from, b + from, to - from) == 0;
}

// Brings the file on disk to image[0, length) while writing as little as
// possible: after a pass it differs from the image only in the cells the
// pass drew (put back by RestoreCells) and in length.
void PrepareFontFile(const std::vector<unsigned char>& image, std::size_t length) {
  static std::size_t onDisk = 0;
  const int fd = open(kFontPath.c_str(), O_RDWR | O_CREAT, 0600);
  if (fd < 0) __builtin_trap();
  if (ftruncate(fd, static_cast<off_t>(length)) != 0) __builtin_trap();
  const std::size_t from = std::min(onDisk, length) < 4 ? 0 : std::min(onDisk, length);
  if (length > from &&
      pwrite(fd, image.data() + from, length - from, static_cast<off_t>(from)) != static_cast<ssize_t>(length - from))
    __builtin_trap();
  if (length >= 4 && pwrite(fd, image.data(), 4, 0) != 4) __builtin_trap();
  close(fd);
  onDisk = length;
}

void RestoreCells(const std::vector<unsigned char>& image, std::size_t from, std::size_t size) {
  const int fd = open(kFontPath.c_str(), O_WRONLY);
  if (fd < 0 || pwrite(fd, image.data() + from, size, static_cast<off_t>(from)) != static_cast<ssize_t>(size))
    __builtin_trap();
  close(fd);
}

struct Entry {
  std::string eng, chi;
};

std::string DictionaryText(std::vector<Entry> entries) {
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return qzf::CompareKeyA(a.eng.c_str(), b.eng.c_str()) == 2; });
  std::string text = "fuzz\r\n\r\n\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i)
    text += qzf::test::DictionaryBlock(i, entries[i].eng, entries[i].chi);
  return text + qzf::test::kDictionaryTrailer;
}

class DrawnCells final : public qzf::PassReporter {
 public:
  void Message(std::string_view) override {}
  void GlyphRendered(std::uint32_t position, std::uint32_t count) override {
    if (position >= count || count != kIndexedGlyphCount) __builtin_trap();
    positions.insert(position);
  }
  std::set<std::uint32_t> positions;
};

qzf::test::ScriptedGlyph RandomGlyph(FuzzedDataProvider& in) {
  qzf::test::ScriptedGlyph glyph;
  const bool huge = in.ConsumeIntegralInRange<int>(0, 15) == 0;
  glyph.width = huge ? in.ConsumeIntegral<std::uint32_t>() : in.ConsumeIntegralInRange<std::uint32_t>(0, 80);
  glyph.height = huge ? in.ConsumeIntegral<std::uint32_t>() : in.ConsumeIntegralInRange<std::uint32_t>(0, 80);
  glyph.originX = huge ? in.ConsumeIntegral<std::int32_t>() : in.ConsumeIntegralInRange<std::int32_t>(-90, 90);
  glyph.originY = huge ? in.ConsumeIntegral<std::int32_t>() : in.ConsumeIntegralInRange<std::int32_t>(-90, 90);
  glyph.error = in.ConsumeIntegralInRange<int>(0, 15) == 0;
  glyph.missing = in.ConsumeIntegralInRange<int>(0, 7) == 0;
  // Mostly as many bytes as the box needs; sometimes fewer or more.
  const std::uint64_t pitch = (static_cast<std::uint64_t>(std::min<std::uint32_t>(glyph.width, 200)) + 3) / 4 * 4;
  std::uint64_t length = pitch * std::min<std::uint32_t>(glyph.height, 200);
  if (in.ConsumeBool()) length = in.ConsumeIntegralInRange<std::uint64_t>(0, length + 16);
  const unsigned char fill = in.ConsumeIntegral<unsigned char>();
  const std::string levels = in.ConsumeBytesAsString(static_cast<std::size_t>(std::min<std::uint64_t>(length, 64)));
  glyph.bytes.resize(static_cast<std::size_t>(length));
  for (std::size_t i = 0; i < glyph.bytes.size(); ++i)
    glyph.bytes[i] = levels.empty() ? fill : static_cast<unsigned char>(levels[i % levels.size()] % 17 ^ fill % 2);
  return glyph;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One image for every run (copying 20 MB per input would be most of the
  // time); only its count word changes, and it is put back.
  static std::vector<unsigned char> image = [] {
    // The 20 MB file would otherwise stay in memory-backed /dev/shm.
    std::atexit([] {
      std::remove(kFontPath.c_str());
      std::remove(kDictPath.c_str());
    });
    return MakeBaseImage();
  }();
  static std::vector<unsigned char> after;
  FuzzedDataProvider in(data, size);

  // Mostly a valid file; sometimes a wrong count, a short file or a bad mode.
  std::size_t length = kFontFileLength + in.ConsumeIntegralInRange<std::size_t>(0, 8);
  std::uint32_t count = kIndexedGlyphCount;
  switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
      count = in.ConsumeIntegral<std::uint32_t>();
      break;
    case 1:
      length = kFontFileLength - in.ConsumeIntegralInRange<std::size_t>(1, kFontFileLength);
      break;
    default:
      break;
  }
  std::memcpy(image.data(), &count, 4);
  const qzf::GlyphSizeMode mode =
      in.ConsumeIntegralInRange<int>(0, 31) == 0 ? in.ConsumeIntegral<std::int32_t>() : in.ConsumeIntegralInRange(1, 3);

  qzf::test::Script() = qzf::test::GlyphScript{};
  auto& script = qzf::test::Script();
  script.ascent = in.ConsumeIntegralInRange<int>(0, 7) == 0 ? in.ConsumeIntegral<std::int32_t>()
                                                            : in.ConsumeIntegralInRange<std::int32_t>(-20, 90);

  std::map<std::uint32_t, Entry> entries;  // by cell position: one entry per code
  // Many glyphs per input: the pass's whole-file read and write are the
  // cost of an iteration, the glyphs are nearly free.
  const int wanted = in.ConsumeIntegralInRange<int>(0, 40);
  for (int n = 0; n < wanted && in.remaining_bytes() > 0; ++n) {
    const auto position = in.ConsumeIntegralInRange<std::uint32_t>(0, kIndexedGlyphCount - 1);
    const std::uint16_t code = CodeOf(position);
    Entry entry{{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)}, ""};
    switch (in.ConsumeIntegralInRange<int>(0, 15)) {
      case 0:
        entry.chi = qzf::pass_text::kNoChange;
        break;
      case 1:
        entry.chi = "A";
        break;
      default: {
        const auto lead = in.ConsumeIntegralInRange<unsigned>(0x81, 0xFE);
        auto trail = in.ConsumeIntegralInRange<unsigned>(0x40, 0xFE);
        if (trail == 0x7F) trail = 0x80;
        entry.chi = {static_cast<char>(lead), static_cast<char>(trail)};
        script.glyphs[lead * 256 + trail] = RandomGlyph(in);
      }
    }
    entries[position] = entry;
  }
  std::vector<Entry> list;
  for (const auto& [position, entry] : entries) list.push_back(entry);
  // The dictionary needs one entry to load; an unused code is enough.
  if (list.empty()) list.push_back({"zz", "zz"});
  const std::string dictionary = DictionaryText(list);
  WriteFile(kDictPath, dictionary.data(), dictionary.size());
  PrepareFontFile(image, length);

  DrawnCells drawn;
  qzf::PatchPassOptions options;
  options.ops = &qzf::test::ScriptedOps();
  options.reporter = &drawn;
  const qzf::PatchPassResult result =
      qzf::RunPatchPass(mode, 20, "Scripted", kFontPath.c_str(), kDictPath.c_str(), options);
  ReadFile(kFontPath, after);
  const unsigned char* before = image.data();
  bool kept = true;
  if (result.status != qzf::PatchPassStatus::kOk) {
    kept = after.size() == length && SameRange(before, after.data(), 0, length) && drawn.positions.empty();
  } else {
    const qzf::GlyphSizeInfo* cells = qzf::LookUpSizeMode(mode);
    if (cells == nullptr || after.size() != length || drawn.positions.size() != result.cellsRewritten) __builtin_trap();
    std::size_t from = 0;
    for (const std::uint32_t position : drawn.positions) {
      if (entries.count(position) == 0) __builtin_trap();  // drawn without an entry
      const auto begin = static_cast<std::size_t>(qzf::CellOffset(*cells, position));
      kept = kept && SameRange(before, after.data(), from, begin);
      from = begin + cells->bytesPerCell;
      RestoreCells(image, begin, cells->bytesPerCell);
    }
    kept = kept && SameRange(before, after.data(), from, length);
  }
  std::memcpy(image.data(), &kIndexedGlyphCount, 4);
  if (!kept) __builtin_trap();
  return 0;
}
