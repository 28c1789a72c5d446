#include "platform/base/codepage.h"

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>
#endif

namespace qzf {
namespace {

#ifdef _WIN32
std::optional<std::string> Convert(std::string_view in, UINT from, UINT to) {
  if (in.empty()) return std::string();
  const int inLength = static_cast<int>(in.size());
  const int wideLength = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), inLength, nullptr, 0);
  if (wideLength <= 0) return std::nullopt;
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), inLength, wide.data(), wideLength);
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultPtr = (to == CP_UTF8) ? nullptr : &usedDefault;
  const DWORD flags = (to == CP_UTF8) ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  const int outLength = WideCharToMultiByte(to, flags, wide.data(), wideLength, nullptr, 0, nullptr, usedDefaultPtr);
  if (outLength <= 0 || usedDefault) return std::nullopt;
  std::string out(static_cast<size_t>(outLength), '\0');
  WideCharToMultiByte(to, flags, wide.data(), wideLength, out.data(), outLength, nullptr, usedDefaultPtr);
  if (usedDefault) return std::nullopt;
  return out;
}
#else
// Owns one iconv conversion descriptor.
class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

// The descriptor for one direction, opened once per thread: opening one
// costs far more than a short conversion, and the dictionary check and the
// fitting convert thousands of single characters.
IconvHandle& CachedHandle(const char* from, const char* to) {
  struct Direction {
    const char* from;
    const char* to;
    std::unique_ptr<IconvHandle> handle;
  };
  thread_local std::vector<Direction> directions;
  for (Direction& d : directions)
    if (std::strcmp(d.from, from) == 0 && std::strcmp(d.to, to) == 0) return *d.handle;
  directions.push_back(Direction{from, to, std::make_unique<IconvHandle>(to, from)});
  return *directions.back().handle;
}

std::optional<std::string> Convert(std::string_view in, const char* from, const char* to) {
  IconvHandle& cd = CachedHandle(from, to);
  if (!cd.valid()) return std::nullopt;
  // Back to the initial state, whatever a failed conversion left.
  iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  std::string out(in.size() * 2 + 8, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  size_t used = 0;
  while (true) {
    char* outPtr = out.data() + used;
    size_t outLeft = out.size() - used;
    const size_t r = iconv(cd.get(), &inPtr, &inLeft, &outPtr, &outLeft);
    used = out.size() - outLeft;
    if (r != static_cast<size_t>(-1)) break;
    if (errno != E2BIG) return std::nullopt;
    out.resize(out.size() * 2);
  }
  // A trailing incomplete sequence is an error too.
  if (inLeft != 0) return std::nullopt;
  out.resize(used);
  return out;
}
#endif

}  // namespace

#ifdef _WIN32
std::optional<std::string> GbkToUtf8(std::string_view gbk) { return Convert(gbk, 936, CP_UTF8); }
std::optional<std::string> Utf8ToGbk(std::string_view utf8) { return Convert(utf8, CP_UTF8, 936); }
#else
std::optional<std::string> GbkToUtf8(std::string_view gbk) { return Convert(gbk, "CP936", "UTF-8"); }
std::optional<std::string> Utf8ToGbk(std::string_view utf8) { return Convert(utf8, "UTF-8", "CP936"); }
#endif

std::optional<char32_t> GbkCodeToUnicode(unsigned code) {
  char bytes[2];
  std::string_view in;
  if (code < 0x80) {
    bytes[0] = static_cast<char>(code);
    in = std::string_view(bytes, 1);
  } else if (code > 0xFFFF) {
    return std::nullopt;
  } else {
    bytes[0] = static_cast<char>(code >> 8);
    bytes[1] = static_cast<char>(code & 0xFF);
    in = std::string_view(bytes, 2);
  }
  const auto utf8 = GbkToUtf8(in);
  if (!utf8 || utf8->empty()) return std::nullopt;
  const auto* u = reinterpret_cast<const unsigned char*>(utf8->data());
  const size_t n = utf8->size();
  if (u[0] < 0x80 && n == 1) return static_cast<char32_t>(u[0]);
  if ((u[0] & 0xE0) == 0xC0 && n == 2) return static_cast<char32_t>(((u[0] & 0x1F) << 6) | (u[1] & 0x3F));
  if ((u[0] & 0xF0) == 0xE0 && n == 3)
    return static_cast<char32_t>(((u[0] & 0x0F) << 12) | ((u[1] & 0x3F) << 6) | (u[2] & 0x3F));
  if ((u[0] & 0xF8) == 0xF0 && n == 4)
    return static_cast<char32_t>(((u[0] & 0x07) << 18) | ((u[1] & 0x3F) << 12) | ((u[2] & 0x3F) << 6) | (u[3] & 0x3F));
  return std::nullopt;
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
  auto utf8 = GbkToUtf8(gbk);
  return utf8 ? *utf8 : std::string(gbk);
}

}  // namespace qzf
