// Writes the stand-ins for the game's font file and code-mapping dictionary,
// which the build embeds as data blocks 130 and 131 when the user has not
// supplied the game's own files. The output depends only on the installed
// code-page tables and the IPAGothic font file.
//
//   qzf_stockdata [--font <path>] [--dictionary <path>]

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/stockdata/code_pages.h"
#include "tools/stockdata/code_table.h"
#include "tools/stockdata/font_file_lookup.h"
#include "tools/stockdata/glyph_rasterizer.h"
#include "tools/stockdata/stock_dictionary.h"
#include "tools/stockdata/stock_font.h"

namespace {

// Written beside the target and renamed over it, so an interrupted run never
// leaves a file the build would take as finished.
void WriteWholeFile(const std::filesystem::path& path, const void* data, std::size_t size) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::filesystem::path temporary = path;
  temporary += ".partial";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!out.flush()) throw std::runtime_error("cannot write " + temporary.string());
  }
  std::filesystem::rename(temporary, path);
}

int Usage() {
  std::fputs("usage: qzf_stockdata [--font <path>] [--dictionary <path>]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string fontPath;
  std::string dictionaryPath;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (i + 1 >= argc) return Usage();
    if (arg == "--font") {
      fontPath = argv[++i];
    } else if (arg == "--dictionary") {
      dictionaryPath = argv[++i];
    } else {
      return Usage();
    }
  }
  if (fontPath.empty() && dictionaryPath.empty()) return Usage();

  try {
    const auto start = std::chrono::steady_clock::now();
    const qzf::stock::CodePages codePages;
    const auto ascendingCodes = qzf::stock::BuildAscendingCodes(codePages);
    if (!dictionaryPath.empty()) {
      const auto text = qzf::stock::FormatDictionaryText(qzf::stock::BuildStockDictionary(ascendingCodes, codePages),
                                                         qzf::stock::kStockDictionaryStamp);
      WriteWholeFile(dictionaryPath, text.data(), text.size());
    }
    if (!fontPath.empty()) {
      qzf::stock::GlyphRasterizer rasterizer(qzf::stock::FindFontFile("IPAGothic"));
      const auto font = qzf::stock::BuildStockFont(qzf::stock::BuildCodeTable(ascendingCodes), codePages, rasterizer);
      WriteWholeFile(fontPath, font.data(), font.size());
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("stand-in data written in %.2f s\n", took.count());
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "qzf_stockdata: %s\n", e.what());
    return 1;
  }
}
