#include "platform/native/native_gdi.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/fontengine/application_fonts.h"
#include "platform/fontengine/cp936_table.h"
#include "platform/fontengine/font_match.h"
#include "platform/fontengine/realized_font.h"
#include "platform/native/native_path.h"
#include "platform/native/native_system.h"

namespace {

using qzf::RealizedFont;

struct FontObject {
  std::unique_ptr<RealizedFont> font;
  std::string faceName;  // what GetTextFaceA reports, GBK
  // A FreeType face serves one caller at a time; different fonts draw at
  // the same time on different threads.
  std::mutex mutex;
};

struct DcObject {
  std::shared_ptr<FontObject> font;  // null while the stock font is selected
};

// The default font of a new context. It has no glyphs here: selecting it
// back only deselects the font that was in.
const auto kStockFont = reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(0x8A));

// Every live handle. A deleted font stays alive while a context still has it
// selected, as in GDI; its handle is gone at once. The table's lock guards the
// handles only: a call holds it to find its font, then the font's own lock
// while the font works.
class HandleTable {
 public:
  std::mutex mutex;

  HGDIOBJ Add(std::shared_ptr<FontObject> font) {
    const auto handle = NextHandle();
    fonts_[handle] = std::move(font);
    return reinterpret_cast<HGDIOBJ>(handle);
  }
  HDC Add(std::unique_ptr<DcObject> dc) {
    const auto handle = NextHandle();
    dcs_[handle] = std::move(dc);
    return reinterpret_cast<HDC>(handle);
  }
  std::shared_ptr<FontObject> Font(const void* handle) const {
    auto it = fonts_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == fonts_.end() ? nullptr : it->second;
  }
  DcObject* Dc(const void* handle) const {
    auto it = dcs_.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == dcs_.end() ? nullptr : it->second.get();
  }
  HGDIOBJ HandleOf(const std::shared_ptr<FontObject>& font) const {
    if (!font) return kStockFont;
    for (const auto& [handle, object] : fonts_)
      if (object == font) return reinterpret_cast<HGDIOBJ>(handle);
    // Deleted while selected: the application has no handle for it any more.
    return kStockFont;
  }
  bool RemoveFont(const void* handle) { return fonts_.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0; }
  bool RemoveDc(const void* handle) { return dcs_.erase(reinterpret_cast<std::uintptr_t>(handle)) > 0; }

 private:
  std::uintptr_t NextHandle() { return next_ += 4; }

  std::uintptr_t next_ = 0x10000;
  std::unordered_map<std::uintptr_t, std::shared_ptr<FontObject>> fonts_;
  std::unordered_map<std::uintptr_t, std::unique_ptr<DcObject>> dcs_;
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

// Counts the changes of what contexts hold (a font selected, a context
// deleted): a thread's last answer of SelectedFont holds while it stays.
std::atomic<std::uint64_t> selections{0};

// The font selected into a context, kept alive for the call even if the
// context lets go of it meanwhile; null (with the error set) when the context
// is invalid or has only the stock font. A thread drawing glyphs asks for
// the same context call after call: its last answer is kept, so that the
// threads drawing at once do not all wait for the table's lock.
const std::shared_ptr<FontObject>& SelectedFont(HDC dc) {
  struct Recent {
    HDC dc = nullptr;
    std::uint64_t generation = 0;
    std::shared_ptr<FontObject> font;
  };
  thread_local Recent recent;
  const std::uint64_t generation = selections.load(std::memory_order_acquire);
  if (dc != nullptr && recent.dc == dc && recent.generation == generation) return recent.font;
  std::lock_guard lock(Handles().mutex);
  DcObject* context = Handles().Dc(dc);
  if (!context) {
    recent = Recent{};
    SetLastError(ERROR_INVALID_HANDLE);
    return recent.font;
  }
  recent = Recent{dc, generation, context->font};
  return recent.font;
}

// A byte string from a font's character set (code page 936) to UTF-16
// units, as GDI's ANSI calls convert: a lead byte takes the next byte with
// it; a byte or pair without a character becomes the default character.
std::vector<char16_t> Cp936Units(const unsigned char* text, size_t length) {
  constexpr char16_t kDefault = u'?';
  std::vector<char16_t> units;
  units.reserve(length);
  for (size_t i = 0; i < length; ++i) {
    unsigned code = text[i];
    if (qzf::IsCp936LeadByte(code) && i + 1 < length) code = code << 8 | text[++i];
    const char16_t unit = qzf::Cp936ToUnicode(code);
    units.push_back(unit != 0 || code == 0 ? unit : kDefault);
  }
  return units;
}

// GDI keeps at most LF_FACESIZE - 1 bytes of a face name.
std::string FaceNameBytes(LPCSTR faceName) {
  if (!faceName) return {};
  return std::string(faceName, strnlen(faceName, LF_FACESIZE - 1));
}

// The name GetTextFaceA reports: the family that was asked for, in the
// font's own spelling, else the substitute's first family name that GBK can
// write.
std::string ReportedFaceName(const qzf::FontMatch& match, const std::string& requested) {
  if (match.exact()) return qzf::Utf8ToGbk(match.families[match.matched]).value_or(requested);
  for (const auto& family : match.families)
    if (auto gbk = qzf::Utf8ToGbk(family)) return gbk->substr(0, LF_FACESIZE - 1);
  return {};
}

}  // namespace

HFONT WINAPI CreateFontA(int height, int /*width*/, int /*escapement*/, int /*orientation*/, int weight, DWORD italic,
                         DWORD underline, DWORD strikeOut, DWORD charSet, DWORD /*outPrecision*/,
                         DWORD /*clipPrecision*/, DWORD /*quality*/, DWORD /*pitchAndFamily*/, LPCSTR faceName) {
  const std::string requested = FaceNameBytes(faceName);
  // A name that is not valid GBK cannot name an installed font: it gets a
  // substitute like any unknown name.
  const std::string family = qzf::GbkToUtf8(requested).value_or(std::string());
  const auto match = qzf::MatchInstalledFont(family, weight, italic != 0, static_cast<int>(charSet & 0xFF));
  if (!match) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  RealizedFont::Request request;
  request.height = height;
  request.weight = weight;
  request.italic = italic != 0;
  request.underline = underline != 0;
  request.strikeOut = strikeOut != 0;
  request.charSet = static_cast<int>(charSet & 0xFF);
  auto object = std::make_shared<FontObject>();
  object->font = RealizedFont::Open(match->file, match->index, request);
  if (!object->font) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  object->faceName = ReportedFaceName(*match, requested);
  std::lock_guard lock(Handles().mutex);
  return static_cast<HFONT>(Handles().Add(std::move(object)));
}

HDC WINAPI CreateCompatibleDC(HDC dc) {
  std::lock_guard lock(Handles().mutex);
  if (dc && !Handles().Dc(dc)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return Handles().Add(std::make_unique<DcObject>());
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
  std::lock_guard lock(Handles().mutex);
  DcObject* context = Handles().Dc(dc);
  std::shared_ptr<FontObject> font = Handles().Font(object);
  if (!context || (!font && object != kStockFont)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  HGDIOBJ previous = Handles().HandleOf(context->font);
  context->font = std::move(font);
  selections.fetch_add(1, std::memory_order_release);
  return previous;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
  if (object == kStockFont) return TRUE;
  std::lock_guard lock(Handles().mutex);
  if (Handles().RemoveFont(object)) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

BOOL WINAPI DeleteDC(HDC dc) {
  std::lock_guard lock(Handles().mutex);
  if (Handles().RemoveDc(dc)) {
    selections.fetch_add(1, std::memory_order_release);
    return TRUE;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

BOOL WINAPI GetTextMetricsA(HDC dc, LPTEXTMETRICA metrics) {
  const auto& font = SelectedFont(dc);
  if (!font || !metrics) return FALSE;
  *metrics = font->font->textMetrics();
  return TRUE;
}

DWORD WINAPI GetGlyphOutlineA(HDC dc, UINT character, UINT format, LPGLYPHMETRICS metrics, DWORD bufferSize,
                              LPVOID buffer, const MAT2* transform) {
  static constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};
  if (!transform || !metrics) return GDI_ERROR;
  if (std::memcmp(transform, &kIdentity, sizeof(MAT2)) != 0) return GDI_ERROR;
  const auto& font = SelectedFont(dc);
  if (!font) return GDI_ERROR;
  std::lock_guard lock(font->mutex);
  unsigned glyph = character;
  if (!(format & GGO_GLYPH_INDEX)) {
    // The code is one character of the font's code page: a double-byte one
    // when its high byte leads one, else its low byte alone.
    const unsigned lead = (character >> 8) & 0xFF;
    const unsigned code = qzf::IsCp936LeadByte(lead) ? (character & 0xFFFF) : (character & 0xFF);
    const unsigned char bytes[2] = {static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code)};
    const auto units = code > 0xFF ? Cp936Units(bytes, 2) : Cp936Units(bytes + 1, 1);
    glyph = font->font->GlyphIndex(units.empty() ? 0 : units.front());
  }
  return font->font->GlyphOutline(glyph, format & ~GGO_GLYPH_INDEX, metrics, bufferSize, buffer);
}

DWORD WINAPI GetGlyphIndicesA(HDC dc, LPCSTR text, int length, LPWORD indices, DWORD flags) {
  if (length < 0 || (length > 0 && (!text || !indices))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return GDI_ERROR;
  }
  const auto& font = SelectedFont(dc);
  if (!font) return GDI_ERROR;
  std::lock_guard lock(font->mutex);
  const auto units = Cp936Units(reinterpret_cast<const unsigned char*>(text), static_cast<size_t>(length));
  const WORD missing =
      (flags & GGI_MARK_NONEXISTING_GLYPHS) ? WORD{0xFFFF} : static_cast<WORD>(font->font->DefaultGlyph());
  for (size_t i = 0; i < units.size(); ++i) {
    const unsigned glyph = font->font->GlyphIndex(units[i]);
    indices[i] = glyph != 0 ? static_cast<WORD>(glyph) : missing;
  }
  return static_cast<DWORD>(units.size());
}

DWORD WINAPI GetGlyphIndicesW(HDC dc, LPCWSTR text, int length, LPWORD indices, DWORD flags) {
  if (length < 0 || (length > 0 && (!text || !indices))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return GDI_ERROR;
  }
  const auto& font = SelectedFont(dc);
  if (!font) return GDI_ERROR;
  std::lock_guard lock(font->mutex);
  const WORD missing =
      (flags & GGI_MARK_NONEXISTING_GLYPHS) ? WORD{0xFFFF} : static_cast<WORD>(font->font->DefaultGlyph());
  for (int i = 0; i < length; ++i) {
    const unsigned glyph = font->font->GlyphIndex(text[i]);
    indices[i] = glyph != 0 ? static_cast<WORD>(glyph) : missing;
  }
  return static_cast<DWORD>(length);
}

int WINAPI GetTextFaceA(HDC dc, int size, LPSTR faceName) {
  const auto& font = SelectedFont(dc);
  if (!font) return 0;
  const std::string& name = font->faceName;
  if (!faceName) return static_cast<int>(name.size() + 1);
  if (size <= 0) return 0;
  const size_t copied = std::min(name.size(), static_cast<size_t>(size - 1));
  std::memcpy(faceName, name.data(), copied);
  faceName[copied] = '\0';
  return static_cast<int>(copied);
}

int WINAPI AddFontResourceExA(LPCSTR fileName, DWORD /*flags*/, LPVOID reserved) {
  if (!fileName || !*fileName || reserved) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int added = qzf::AddApplicationFontFile(qzf::NativePathFromWin(fileName));
  if (added == 0) SetLastError(ERROR_FILE_NOT_FOUND);
  return added;
}

BOOL WINAPI RemoveFontResourceExA(LPCSTR fileName, DWORD /*flags*/, LPVOID reserved) {
  if (!fileName || reserved) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (qzf::RemoveApplicationFontFile(qzf::NativePathFromWin(fileName))) return TRUE;
  SetLastError(ERROR_FILE_NOT_FOUND);
  return FALSE;
}
