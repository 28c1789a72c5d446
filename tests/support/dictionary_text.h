// Dictionary texts laid out as the saver writes them, for tests and fuzz
// targets that feed the loaders and the rewrite pass.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>

namespace qzf::test {

inline constexpr char kDictionaryTrailer[] = "\r\n\r\n\r\ntolva_res_All_End\r\n";

// One entry block, numbered `index`.
inline std::string DictionaryBlock(std::size_t index, std::string_view eng, std::string_view chi,
                                   std::string_view remark = {}) {
  char number[24];
  std::snprintf(number, sizeof(number), "%08zu", index);
  std::string block = "\r\ntolva_res_No.";
  block += number;
  block += "\r\ntolva_res_ENG_Start\r\n";
  block += eng;
  block += "\r\ntolva_res_ENG_End\r\ntolva_res_CHI_Start\r\n";
  block += chi;
  block += "\r\ntolva_res_CHI_End\r\ntolva_res_Remark00_Start\r\n";
  block += remark;
  block += "\r\ntolva_res_Remark00_End\r\n";
  return block;
}

}  // namespace qzf::test
