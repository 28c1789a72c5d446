#include "app/dialog_template_layout.h"

#include <cstring>

namespace qzf {

namespace {

// Reads the template's fields in order; every read is checked against the
// end, and the first one past it spoils the whole reading.
class TemplateCursor {
 public:
  TemplateCursor(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

  bool ok() const { return ok_; }

  template <typename T>
  T Read() {
    T value{};
    if (!Take(sizeof(T))) return value;
    std::memcpy(&value, bytes_ + at_ - sizeof(T), sizeof(T));
    return value;
  }

  void Skip(std::size_t count) { Take(count); }

  // A UTF-16 string up to its NUL.
  void SkipString() {
    while (ok_ && Read<std::uint16_t>() != 0) {
    }
  }

  // A menu, class or title field: empty (0), an ordinal (0xFFFF, number) or
  // a string.
  void SkipStringOrOrdinal() {
    const std::uint16_t first = Read<std::uint16_t>();
    if (first == 0xFFFF) {
      Skip(sizeof(std::uint16_t));
    } else if (first != 0) {
      SkipString();
    }
  }

  // Each control starts on a four-byte boundary of the template.
  void AlignToDword() { Skip((4 - at_ % 4) % 4); }

 private:
  bool Take(std::size_t count) {
    if (!ok_ || count > size_ - at_) {
      ok_ = false;
      return false;
    }
    at_ += count;
    return true;
  }

  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

DialogUnitRect ReadRect(TemplateCursor& cursor) {
  DialogUnitRect rect;
  rect.x = cursor.Read<std::int16_t>();
  rect.y = cursor.Read<std::int16_t>();
  rect.cx = cursor.Read<std::int16_t>();
  rect.cy = cursor.Read<std::int16_t>();
  return rect;
}

}  // namespace

std::optional<DialogTemplateLayout> ParseDialogTemplateLayout(const std::uint8_t* bytes, std::size_t size) {
  TemplateCursor cursor(bytes, size);
  const auto version = cursor.Read<std::uint16_t>();
  const auto signature = cursor.Read<std::uint16_t>();
  if (!cursor.ok() || version != 1 || signature != 0xFFFF) return std::nullopt;
  cursor.Skip(2 * sizeof(std::uint32_t));  // help id, extended style
  const auto style = cursor.Read<std::uint32_t>();
  const auto count = cursor.Read<std::uint16_t>();
  const DialogUnitRect frame = ReadRect(cursor);
  cursor.SkipStringOrOrdinal();  // menu
  cursor.SkipStringOrOrdinal();  // window class
  cursor.SkipString();           // caption
  if (style & DS_SETFONT) {
    cursor.Skip(2 * sizeof(std::uint16_t) + 2);  // points, weight, italic, character set
    cursor.SkipString();                         // face
  }
  DialogTemplateLayout layout{frame.cx, frame.cy, {}};
  for (int i = 0; i < count && cursor.ok(); ++i) {
    cursor.AlignToDword();
    cursor.Skip(3 * sizeof(std::uint32_t));  // help id, extended style, style
    const DialogUnitRect rect = ReadRect(cursor);
    const auto id = static_cast<std::int32_t>(cursor.Read<std::uint32_t>());
    cursor.SkipStringOrOrdinal();               // class
    cursor.SkipStringOrOrdinal();               // text
    cursor.Skip(cursor.Read<std::uint16_t>());  // creation data
    layout.controls.push_back({id, rect});
  }
  if (!cursor.ok() || layout.cx <= 0 || layout.cy <= 0) return std::nullopt;
  return layout;
}

std::optional<DialogTemplateLayout> LoadDialogTemplateLayout(HINSTANCE module, int id) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (found == nullptr) return std::nullopt;
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = LockResource(loaded);
  if (bytes == nullptr) return std::nullopt;
  return ParseDialogTemplateLayout(static_cast<const std::uint8_t*>(bytes), SizeofResource(module, found));
}

}  // namespace qzf
