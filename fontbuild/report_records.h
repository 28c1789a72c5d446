// The records scripts read, as JSON: what a build found, what a font file
// holds, how two files differ, and which faces suit the dictionary. Each
// record names itself ("record") and carries a version that goes up only
// when a field changes meaning or goes away; new fields may appear in any
// version. Texts are UTF-8, game codes "0xHHHH" strings as the command line
// takes them. The README documents every field.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fontbuild/face_coverage.h"
#include "fontbuild/font_build.h"
#include "fontpatch/font_file_report.h"

namespace qzf {

inline constexpr int kReportRecordVersion = 1;

// What the build record says beyond the result: as the user gave it (UTF-8).
struct BuildRecordRequest {
  std::string output;
  std::string faceAsked;
  // The style's font files as given, in order; nullopt: the system paths
  // the build used, which may differ in their separators.
  std::optional<std::vector<std::string>> fontFiles;
};
std::string BuildRecordJson(const FontBuildResult& result, const BuildRecordRequest& request);

// `blankWithCharacter` only when a dictionary was given.
std::string CheckRecordJson(
    const std::string& file, const FontFileSummary& summary,
    const std::optional<std::array<std::vector<GlyphFinding>, SizeModeTable.size()>>& blankWithCharacter);

std::string DiffRecordJson(const std::string& a, const std::string& b, const FontFileDiff& diff);

std::string FontsRecordJson(std::uint32_t dictionaryCharacters, const std::vector<FaceCoverage>& faces);

}  // namespace qzf
