// The marker lines of the dictionary text format, as the loaders search for
// them and the saver writes them.
#pragma once

#include <string_view>

namespace qzf {

// An entry begins at each line break followed by this text; its digits are
// never read.
inline constexpr std::string_view kEntryMarker = "\r\ntolva_res_No.";
inline constexpr std::string_view kEngStartMarker = "tolva_res_ENG_Start\r\n";
inline constexpr std::string_view kEngEndMarker = "tolva_res_ENG_End\r\n";
inline constexpr std::string_view kChiStartMarker = "tolva_res_CHI_Start\r\n";
inline constexpr std::string_view kChiEndMarker = "tolva_res_CHI_End\r\n";
inline constexpr std::string_view kRemarkStartMarker = "tolva_res_Remark00_Start\r\n";
inline constexpr std::string_view kRemarkEndMarker = "tolva_res_Remark00_End\r\n";
// Closes a saved file; no loader looks for it.
inline constexpr std::string_view kAllEndTrailer = "\r\n\r\n\r\ntolva_res_All_End\r\n";

}  // namespace qzf
