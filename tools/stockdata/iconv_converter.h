// One iconv conversion descriptor, owned.
#pragma once

#include <iconv.h>

#include <optional>
#include <string>
#include <string_view>

namespace qzf::stock {

class IconvConverter {
 public:
  // Throws std::runtime_error when iconv does not know the pair.
  IconvConverter(const char* to, const char* from);
  ~IconvConverter();
  IconvConverter(const IconvConverter&) = delete;
  IconvConverter& operator=(const IconvConverter&) = delete;

  // The whole input converted, or nullopt when any of it has no counterpart.
  std::optional<std::string> Convert(std::string_view in) const;

 private:
  iconv_t handle_;
};

}  // namespace qzf::stock
