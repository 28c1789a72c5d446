#include "tools/stockdata/dictionary_text.h"

#include <cstdio>

namespace qzf::stock {

std::string FormatDictionaryText(const std::vector<TextEntry>& entries, std::string_view stamp) {
  std::string text = "Marrowgate QorvStringDict::SaveToTXTFileA Ver.0.19 ";
  text.append(stamp);
  text += "\r\n\r\n\r\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%08u", static_cast<unsigned>(i));
    text += "\r\ntolva_res_No.";
    text += number;
    text += "\r\ntolva_res_ENG_Start\r\n" + entries[i].eng + "\r\ntolva_res_ENG_End\r\n";
    text += "tolva_res_CHI_Start\r\n" + entries[i].chi + "\r\ntolva_res_CHI_End\r\n";
    text += "tolva_res_Remark00_Start\r\n" + entries[i].remark00 + "\r\ntolva_res_Remark00_End\r\n";
  }
  text += "\r\n\r\n\r\ntolva_res_All_End\r\n";
  return text;
}

}  // namespace qzf::stock
