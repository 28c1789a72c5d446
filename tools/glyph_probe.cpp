// Prints what the font calls of the glyph rewrite pass give for one face and
// height: the selected face, the text metrics, and for each character code
// the glyph metrics and the GGO_GRAY4_BITMAP bitmap, fetched exactly as the
// pass fetches them. Built natively (the FreeType stand-ins) and for Windows
// (real GDI), so that tools/gdi_fidelity.sh can compare the two.
//
//   glyph_probe FACE HEIGHT [CODES]
//   glyph_probe FACE HEIGHT --indices HEXBYTES
//
// FACE is UTF-8 and is handed to CreateFontA in GBK. CODES: "gb2312" (the
// default: every code of rows 0xA1-0xA9 and 0xB0-0xF7) or a file of
// hexadecimal codes, one a line. Output lines:
//   face NAME EXACT
//   tm HEIGHT ASCENT DESCENT INTERNAL EXTERNAL AVEWIDTH MAXWIDTH WEIGHT PITCHFAMILY CHARSET
//   CODE SIZE FETCHED W H OX OY INCX INCY LEVELS
// LEVELS: the bitmap's H rows of padded width, one character per byte (0-9,
// a-g for 10-16; '?' above 16), or "-" when nothing was fetched.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/portable/codepage.h"
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

}  // namespace

int main(int argc, char** argv) {
  const auto args = Utf8Arguments(argc, argv);
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: glyph_probe FACE HEIGHT [gb2312|CODEFILE|--indices HEXBYTES]\n");
    return 2;
  }
  const auto face = qzf::Utf8ToGbk(args[1]);
  if (!face) {
    std::fprintf(stderr, "glyph_probe: the face name has no GBK form\n");
    return 2;
  }
  const int height = std::atoi(args[2].c_str());

  qzf::FontRequest request;
  request.height = height;
  const qzf::SelectedFont font(face->c_str(), request);
  HDC dc = font.dc();
  if (!dc) {
    std::fprintf(stderr, "glyph_probe: no font or no memory context\n");
    return 1;
  }

  if (args.size() >= 5 && args[3] == "--indices") {
    PrintIndices(dc, args[4]);
  } else {
    std::vector<unsigned> codes;
    if (args.size() < 4 || args[3] == "gb2312") {
      codes = Gb2312Codes();
    } else if (!ReadCodes(args[3], codes)) {
      std::fprintf(stderr, "glyph_probe: cannot read %s\n", args[3].c_str());
      return 2;
    }

    std::printf("face %s %d\n", qzf::GbkToUtf8Lossy(font.FaceName()).c_str(), font.FaceMatches());
    TEXTMETRICA tm = {};
    GetTextMetricsA(dc, &tm);
    std::printf("tm %ld %ld %ld %ld %ld %ld %ld %ld %u %u\n", static_cast<long>(tm.tmHeight),
                static_cast<long>(tm.tmAscent), static_cast<long>(tm.tmDescent),
                static_cast<long>(tm.tmInternalLeading), static_cast<long>(tm.tmExternalLeading),
                static_cast<long>(tm.tmAveCharWidth), static_cast<long>(tm.tmMaxCharWidth),
                static_cast<long>(tm.tmWeight), tm.tmPitchAndFamily, tm.tmCharSet);

    const MAT2 identity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const auto start = std::chrono::steady_clock::now();
    std::string line;
    for (unsigned code : codes) {
      GLYPHMETRICS gm = {};
      const DWORD size = GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &gm, 0, nullptr, &identity);
      DWORD fetched = GDI_ERROR;
      std::vector<unsigned char> bitmap;
      if (size != GDI_ERROR) {
        bitmap.assign(size + 4, 0);
        fetched = GetGlyphOutlineA(dc, code, GGO_GRAY4_BITMAP, &gm, size, bitmap.data(), &identity);
      }
      line.assign(1, '-');
      if (fetched != GDI_ERROR && size > 0) {
        line.resize(size);
        for (DWORD i = 0; i < size; ++i) line[i] = bitmap[i] <= 16 ? "0123456789abcdefg"[bitmap[i]] : '?';
      }
      std::printf("%04x %ld %ld %u %u %ld %ld %d %d %s\n", code, static_cast<long>(static_cast<LONG>(size)),
                  static_cast<long>(static_cast<LONG>(fetched)), gm.gmBlackBoxX, gm.gmBlackBoxY,
                  static_cast<long>(gm.gmptGlyphOrigin.x), static_cast<long>(gm.gmptGlyphOrigin.y), gm.gmCellIncX,
                  gm.gmCellIncY, line.c_str());
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "glyph_probe: %zu codes in %.0f ms\n", codes.size(), ms);
  }

  return 0;
}
