// Prints what the font calls of the glyph rewrite pass give for one face and
// height: the selected face, the text metrics, and for each character code
// the glyph metrics and the glyph bitmap, fetched exactly as the pass fetches
// them. Built natively (the FreeType stand-ins) and for Windows (real GDI),
// so that tools/gdi_fidelity.sh can compare the two.
//
//   glyph_probe FACE HEIGHT [OPTIONS] [CODES]
//   glyph_probe FACE HEIGHT [OPTIONS] --indices HEXBYTES
//
// FACE is UTF-8 and is handed to CreateFontA in GBK. HEIGHT > 0 asks for a
// character cell of that height, HEIGHT < 0 for an em of -HEIGHT pixels.
// OPTIONS:
//   --em             take HEIGHT as an em height (the same as a negative HEIGHT)
//   --weight N       font weight, 100..900 (default 400)
//   --italic         ask for an italic font
//   --format F       gray4 (GGO_GRAY4_BITMAP, the default) or bitmap (GGO_BITMAP)
//   --font-file PATH make a font file usable for this process first
//                    (AddFontResourceExA with FR_PRIVATE)
// CODES: "gb2312" (the default: every code of rows 0xA1-0xA9 and 0xB0-0xF7)
// or a file of hexadecimal codes, one a line. Output lines:
//   added N          (with --font-file: what AddFontResourceExA returned)
//   face NAME EXACT
//   tm HEIGHT ASCENT DESCENT INTERNAL EXTERNAL AVEWIDTH MAXWIDTH WEIGHT PITCHFAMILY CHARSET ITALIC OVERHANG
//   CODE SIZE FETCHED W H OX OY INCX INCY BITS
// BITS: for gray4, the bitmap's H rows of padded width, one character per
// byte (0-9, a-g for 10-16; '?' above 16); for bitmap, its bytes in
// hexadecimal; "-" when nothing was fetched.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/portable/private_font_file.h"
#include "platform/portable/selected_font.h"
#include "platform/win32.h"

#ifdef _WIN32
#include <shellapi.h>
#endif

namespace {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  // The narrow arguments are in the ANSI code page, which need not be 936.
  (void)argv;
  std::vector<std::string> out;
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; wide && i < count; ++i) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, s.data(), n, nullptr, nullptr);
    out.push_back(s);
  }
  LocalFree(wide);
  (void)argc;
  return out;
#else
  return std::vector<std::string>(argv, argv + argc);
#endif
}

struct Options {
  std::string face;
  qzf::FontRequest request;
  UINT format = GGO_GRAY4_BITMAP;
  std::string fontFile;
  std::string codes = "gb2312";
  std::string indices;  // hexadecimal bytes for GetGlyphIndicesA, when asked
  bool printIndices = false;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options) {
  if (args.size() < 3) return false;
  options.face = args[1];
  options.request.height = std::atoi(args[2].c_str());
  for (size_t i = 3; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--em") {
      if (options.request.height > 0) options.request.height = -options.request.height;
    } else if (arg == "--italic") {
      options.request.italic = true;
    } else if (arg == "--weight" && hasValue) {
      options.request.weight = std::atoi(args[++i].c_str());
    } else if (arg == "--format" && hasValue) {
      const std::string& format = args[++i];
      if (format == "gray4") {
        options.format = GGO_GRAY4_BITMAP;
      } else if (format == "bitmap") {
        options.format = GGO_BITMAP;
      } else {
        return false;
      }
    } else if (arg == "--font-file" && hasValue) {
      options.fontFile = args[++i];
    } else if (arg == "--indices" && hasValue) {
      options.printIndices = true;
      options.indices = args[++i];
    } else if (arg.rfind("--", 0) == 0) {
      return false;
    } else {
      options.codes = arg;
    }
  }
  return true;
}

std::vector<unsigned> Gb2312Codes() {
  std::vector<unsigned> codes;
  for (unsigned lead = 0xA1; lead <= 0xF7; ++lead) {
    if (lead > 0xA9 && lead < 0xB0) continue;
    for (unsigned trail = 0xA1; trail <= 0xFE; ++trail) codes.push_back(lead << 8 | trail);
  }
  return codes;
}

bool ReadCodes(const std::string& path, std::vector<unsigned>& codes) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    codes.push_back(static_cast<unsigned>(std::strtoul(line.c_str(), nullptr, 16)));
  }
  return true;
}

void PrintIndices(HDC dc, const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(static_cast<char>(std::strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
  std::vector<WORD> marked(bytes.size() + 1), plain(bytes.size() + 1);
  const DWORD n =
      GetGlyphIndicesA(dc, bytes.c_str(), static_cast<int>(bytes.size()), marked.data(), GGI_MARK_NONEXISTING_GLYPHS);
  GetGlyphIndicesA(dc, bytes.c_str(), static_cast<int>(bytes.size()), plain.data(), 0);
  std::printf("indices %lu", static_cast<unsigned long>(n));
  for (DWORD i = 0; n != GDI_ERROR && i < n; ++i) std::printf(" %04x/%04x", marked[i], plain[i]);
  std::printf("\n");
}

// The fetched bytes as one printable word.
std::string BitsText(UINT format, const std::vector<unsigned char>& bitmap, DWORD size) {
  std::string text;
  if (format == GGO_BITMAP) {
    static constexpr char kHex[] = "0123456789abcdef";
    for (DWORD i = 0; i < size; ++i) {
      text.push_back(kHex[bitmap[i] >> 4]);
      text.push_back(kHex[bitmap[i] & 15]);
    }
  } else {
    for (DWORD i = 0; i < size; ++i) text.push_back(bitmap[i] <= 16 ? "0123456789abcdefg"[bitmap[i]] : '?');
  }
  return text;
}

int PrintGlyphs(HDC dc, const qzf::SelectedFont& font, const Options& options) {
  std::vector<unsigned> codes;
  if (options.codes == "gb2312") {
    codes = Gb2312Codes();
  } else if (!ReadCodes(options.codes, codes)) {
    std::fprintf(stderr, "glyph_probe: cannot read %s\n", options.codes.c_str());
    return 2;
  }

  std::printf("face %s %d\n", qzf::GbkToUtf8Lossy(font.FaceName()).c_str(), font.FaceMatches());
  TEXTMETRICA tm = {};
  GetTextMetricsA(dc, &tm);
  std::printf("tm %ld %ld %ld %ld %ld %ld %ld %ld %u %u %u %ld\n", static_cast<long>(tm.tmHeight),
              static_cast<long>(tm.tmAscent), static_cast<long>(tm.tmDescent), static_cast<long>(tm.tmInternalLeading),
              static_cast<long>(tm.tmExternalLeading), static_cast<long>(tm.tmAveCharWidth),
              static_cast<long>(tm.tmMaxCharWidth), static_cast<long>(tm.tmWeight), tm.tmPitchAndFamily, tm.tmCharSet,
              tm.tmItalic, static_cast<long>(tm.tmOverhang));

  const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  const auto start = std::chrono::steady_clock::now();
  for (unsigned code : codes) {
    GLYPHMETRICS gm = {};
    const DWORD size = GetGlyphOutlineA(dc, code, options.format, &gm, 0, nullptr, &identity);
    DWORD fetched = GDI_ERROR;
    std::vector<unsigned char> bitmap;
    if (size != GDI_ERROR) {
      bitmap.assign(size + 4, 0);
      fetched = GetGlyphOutlineA(dc, code, options.format, &gm, size, bitmap.data(), &identity);
    }
    const std::string bits = fetched != GDI_ERROR && size > 0 ? BitsText(options.format, bitmap, size) : "-";
    std::printf("%04x %ld %ld %u %u %ld %ld %d %d %s\n", code, static_cast<long>(static_cast<LONG>(size)),
                static_cast<long>(static_cast<LONG>(fetched)), gm.gmBlackBoxX, gm.gmBlackBoxY,
                static_cast<long>(gm.gmptGlyphOrigin.x), static_cast<long>(gm.gmptGlyphOrigin.y), gm.gmCellIncX,
                gm.gmCellIncY, bits.c_str());
  }
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::fprintf(stderr, "glyph_probe: %zu codes in %.0f ms\n", codes.size(), ms);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(Utf8Arguments(argc, argv), options)) {
    std::fprintf(stderr,
                 "usage: glyph_probe FACE HEIGHT [--em] [--weight N] [--italic] [--format gray4|bitmap]\n"
                 "                   [--font-file PATH] [gb2312|CODEFILE|--indices HEXBYTES]\n");
    return 2;
  }
  const auto face = qzf::Utf8ToGbk(options.face);
  if (!face) {
    std::fprintf(stderr, "glyph_probe: the face name has no GBK form\n");
    return 2;
  }

  std::optional<qzf::PrivateFontFile> fontFile;
  if (!options.fontFile.empty()) {
    fontFile.emplace(options.fontFile);
    std::printf("added %d\n", fontFile->fontsAdded());
  }

  const qzf::SelectedFont font(face->c_str(), options.request);
  HDC dc = font.dc();
  if (!dc) {
    std::fprintf(stderr, "glyph_probe: no font or no memory context\n");
    return 1;
  }
  if (options.printIndices) {
    PrintIndices(dc, options.indices);
    return 0;
  }
  return PrintGlyphs(dc, font, options);
}
