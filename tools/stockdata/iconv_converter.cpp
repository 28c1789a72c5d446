#include "tools/stockdata/iconv_converter.h"

#include <cerrno>
#include <stdexcept>

namespace qzf::stock {

IconvConverter::IconvConverter(const char* to, const char* from) : handle_(iconv_open(to, from)) {
  if (handle_ == reinterpret_cast<iconv_t>(-1)) {
    throw std::runtime_error(std::string("iconv cannot convert from ") + from + " to " + to);
  }
}

IconvConverter::~IconvConverter() { iconv_close(handle_); }

std::optional<std::string> IconvConverter::Convert(std::string_view in) const {
  // A failed call may leave shift state behind; start every conversion clean.
  iconv(handle_, nullptr, nullptr, nullptr, nullptr);
  std::string out(in.size() * 4 + 16, '\0');
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  if (iconv(handle_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
    return std::nullopt;
  }
  // Flush any pending shift sequence; none of our encodings has one, but it is cheap.
  if (iconv(handle_, nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace qzf::stock
