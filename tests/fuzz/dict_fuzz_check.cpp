#include "tests/fuzz/dict_fuzz_check.h"

#include <cstdint>
#include <cstring>

namespace qzf::fuzz {

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

bool Inside(const QorvStringDict& dict, const char* p, std::uint64_t offset) {
  const auto at = reinterpret_cast<std::uintptr_t>(p) + offset;
  const auto start = reinterpret_cast<std::uintptr_t>(dict.text());
  return dict.text() != nullptr && at >= start && at - start < std::uint64_t{dict.textCapacity()} + 4;
}

}  // namespace

void CheckConsistent(const QorvStringDict& dict) {
  Require(dict.count() <= dict.recordCapacity());
  Require(dict.count() == 0 || dict.records() != nullptr);
  Require(dict.textUsed() <= dict.textCapacity());
  for (std::uint32_t i = 0; i < dict.count(); ++i) {
    const DictRecord& r = dict.records()[i];
    const char* texts[3] = {r.ENG, r.CHI, r.Remark00};
    const std::uint32_t lengths[3] = {r.ENGLength, r.CHILength, r.Remark00Length};
    for (int k = 0; k < 3; ++k) {
      Require(Inside(dict, texts[k], 0) && Inside(dict, texts[k], std::uint64_t{lengths[k]} + 0) &&
              Inside(dict, texts[k], 3));
      Require(std::strlen(texts[k]) == lengths[k]);
    }
  }
  Require(dict.engCursor()[0] == '\0' || Inside(dict, dict.engCursor(), 0));
  Require(dict.chiCursor()[0] == '\0' || Inside(dict, dict.chiCursor(), 0));
}

}  // namespace qzf::fuzz
