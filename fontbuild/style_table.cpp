#include "fontbuild/style_table.h"

#include <algorithm>

#include "fontbuild/style_settings.h"
#include "platform/base/codepage.h"
#include "platform/portable/system_path.h"

namespace qzf {
namespace {

constexpr int kMostNames = 16;
constexpr int kMostTextBytes = 255;

std::vector<std::string> GbkToUtf8List(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (const std::string& name : names) out.push_back(GbkToUtf8Lossy(name));
  return out;
}

std::vector<StyleSetting> MakeTable() {
  std::vector<StyleSetting> table;
  // Whole-build settings.
  table.push_back({.name = "face",
                   .kind = SettingKind::kText,
                   .perSize = false,
                   .high = kMostTextBytes,
                   .label = "字体",
                   .hint = "已安装的字体名",
                   .help = "Installed font face, e.g. \"Noto Sans CJK SC\" (see `qzffont fonts`); required unless the "
                           "style file names one"});
  table.push_back(
      {.name = "fallback",
       .kind = SettingKind::kTextList,
       .perSize = false,
       .high = kMostNames,
       .label = "后备字体",
       .hint = "主字体画不出的字，依次由这些字体来画",
       .help = "A face that draws what the face cannot (repeat for more, in order)",
       .recordName = "fallback_faces",
       .toBuild = [](const StyleValue& v, const StyleSettings&, BuildStyle& style) -> std::string {
         for (const std::string& face : std::get<std::vector<std::string>>(v)) {
           const auto gbk = Utf8ToGbk(face);
           if (!gbk || gbk->empty() || gbk->size() >= 256) return "not a usable fallback face name: " + face;
           style.fallbackFaces.push_back(*gbk);
         }
         return "";
       },
       .ofBuild = [](const BuildStyle& s) -> std::optional<StyleValue> { return GbkToUtf8List(s.fallbackFaces); }});
  table.push_back(
      {.name = "font-file",
       .kind = SettingKind::kTextList,
       .perSize = false,
       .high = kMostNames,
       .label = "字体文件",
       .hint = "不安装、只在这次使用的字体文件",
       .help = "A font file to use for this run without installing it (repeatable)",
       .recordName = "font_files",
       .toBuild = [](const StyleValue& v, const StyleSettings&, BuildStyle& style) -> std::string {
         for (const std::string& file : std::get<std::vector<std::string>>(v)) {
           const auto path = Utf8ToSystemPath(file);
           if (!path) return "the path " + file + " holds characters this system cannot use in file names";
           style.fontFiles.push_back(*path);
         }
         return "";
       },
       .ofBuild = [](const BuildStyle& s) -> std::optional<StyleValue> { return GbkToUtf8List(s.fontFiles); }});
  table.push_back({.name = "align",
                   .kind = SettingKind::kChoice,
                   .perSize = false,
                   .shownDefault = std::string("design"),
                   .choices = {"design", "center"},
                   .choiceLabels = {"按字体设计", "居中"},
                   .places = true,
                   .label = "对齐方式",
                   .hint = "按字体设计，或把汉字居中",
                   .help = "design (where the font puts each glyph) or center (centre the ideographs)",
                   .recordName = "align",
                   .toBuild = [](const StyleValue& v, const StyleSettings&, BuildStyle& style) -> std::string {
                     style.align = std::get<std::string>(v) == "center" ? GlyphAlign::kCenter : GlyphAlign::kDesign;
                     return "";
                   },
                   .ofBuild = [](const BuildStyle& s) -> std::optional<StyleValue> {
                     return std::string(s.align == GlyphAlign::kCenter ? "center" : "design");
                   }});
  table.push_back({.name = "fit",
                   .kind = SettingKind::kFlag,
                   .perSize = false,
                   .shownDefault = false,
                   .label = "自动适配大小",
                   .hint = "为每种格子选出尽量大的字身高度（最多 0.5% 的字切边），并把汉字居中",
                   .help = "Per size, the largest em height at which at most 0.5% of the characters lose ink at the "
                           "cell edges (implies --align center unless placement is given)",
                   .recordName = "fit",
                   .toBuild = [](const StyleValue& v, const StyleSettings& settings, BuildStyle& style) -> std::string {
                     style.fit = std::get<bool>(v);
                     if (style.fit && !PlacementGiven(settings)) style.align = GlyphAlign::kCenter;
                     return "";
                   },
                   .ofBuild = [](const BuildStyle& s) -> std::optional<StyleValue> { return s.fit; }});
  // Per-size settings.
  table.push_back({.name = "glyph-size",
                   .kind = SettingKind::kInteger,
                   .perSize = true,
                   .low = 4,
                   .high = 128,
                   .label = "字身高度",
                   .hint = "字身高度，单位像素；空着就是字体在这个格子里的默认大小",
                   .help = "Em height in pixels per size, e.g. 20=18,24=22,64=58, or one value for all sizes",
                   .recordName = "em_height",
                   .toSize = [](const StyleValue& v, GlyphStyle& s) { s.emHeight = std::get<int>(v); },
                   .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> {
                     if (s.emHeight > 0) return static_cast<int>(s.emHeight);
                     return std::nullopt;
                   }});
  table.push_back({.name = "baseline",
                   .kind = SettingKind::kInteger,
                   .perSize = true,
                   .low = 0,
                   .cellBound = true,
                   .places = true,
                   .label = "基线",
                   .hint = "基线所在的格子行；空着就是字体的上升高度",
                   .help = "Cell row of the baseline per size, e.g. 20=17,24=20,64=54",
                   .recordName = "baseline",
                   .toSize = [](const StyleValue& v, GlyphStyle& s) { s.baseline = std::get<int>(v); },
                   .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> {
                     if (s.baseline) return static_cast<int>(*s.baseline);
                     return std::nullopt;
                   }});
  table.push_back({.name = "shift",
                   .kind = SettingKind::kPair,
                   .perSize = true,
                   .low = -1,
                   .cellBound = true,
                   .shownDefault = IntPair{0, 0},
                   .places = true,
                   .label = "位移",
                   .hint = "向右、向下移动的像素",
                   .help = "Pixels right:down per size, e.g. 20=1:-1,64=2:0, or one for all sizes",
                   .recordName = "shift",
                   .toSize =
                       [](const StyleValue& v, GlyphStyle& s) {
                         s.shiftX = std::get<IntPair>(v)[0];
                         s.shiftY = std::get<IntPair>(v)[1];
                       },
                   .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> {
                     return IntPair{static_cast<int>(s.shiftX), static_cast<int>(s.shiftY)};
                   }});
  table.push_back(
      {.name = "weight",
       .kind = SettingKind::kInteger,
       .perSize = true,
       .low = 100,
       .high = 900,
       .step = 100,
       .shownDefault = 400,
       .label = "字重",
       .hint = "100 到 900，700 是粗体；字体没有粗体时由系统加粗",
       .help = "Font weight 100..900 (700 is bold; synthesised where the face has none)",
       .recordName = "weight",
       .toSize = [](const StyleValue& v, GlyphStyle& s) { s.weight = std::get<int>(v); },
       .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> { return static_cast<int>(s.weight); }});
  table.push_back({.name = "italic",
                   .kind = SettingKind::kFlag,
                   .perSize = true,
                   .shownDefault = false,
                   .label = "斜体",
                   .hint = "字体没有斜体时由系统倾斜",
                   .help = "Italic (slanted where the face has no italic)",
                   .recordName = "italic",
                   .toSize = [](const StyleValue& v, GlyphStyle& s) { s.italic = std::get<bool>(v); },
                   .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> { return s.italic; }});
  table.push_back({.name = "mono",
                   .kind = SettingKind::kFlag,
                   .perSize = true,
                   .shownDefault = false,
                   .label = "黑白两级",
                   .hint = "只有墨色和空白，没有灰色边缘",
                   .help = "Two-level glyphs: ink 15 or nothing, no grey edges",
                   .recordName = "mono",
                   .toSize = [](const StyleValue& v, GlyphStyle& s) { s.mono = std::get<bool>(v); },
                   .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> { return s.mono; }});
  table.push_back({.name = "gamma",
                   .kind = SettingKind::kNumber,
                   .perSize = true,
                   .low = 0.1,
                   .high = 10,
                   .step = 0.1,
                   .shownDefault = 1.0,
                   .label = "灰度曲线（gamma）",
                   .hint = "1 保持原样，大于 1 让边缘更黑",
                   .help = "A curve on the 16 grey levels; 1 keeps them, above 1 darkens the edges",
                   .recordName = "gamma",
                   .toSize = [](const StyleValue& v, GlyphStyle& s) { s.gamma = std::get<double>(v); },
                   .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> { return s.gamma; }});
  table.push_back(
      {.name = "punctuation",
       .kind = SettingKind::kChoice,
       .perSize = true,
       .shownDefault = std::string("design"),
       .choices = {"design", "mainland", "centred"},
       .choiceLabels = {"按字体设计", "左下（大陆习惯）", "居中（港台习惯）"},
       .label = "标点位置",
       .hint = "按字体设计；大陆习惯放在左下；港台习惯居中",
       .help = "Where the full-width punctuation sits: design (the face's place), mainland (lower left) "
               "or centred",
       .recordName = "punctuation",
       .toSize =
           [](const StyleValue& v, GlyphStyle& s) {
             s.punctuation =
                 ParsePunctuationPlacement(std::get<std::string>(v)).value_or(PunctuationPlacement::kDesign);
           },
       .ofSize = [](const GlyphStyle& s) -> std::optional<StyleValue> {
         return std::string(PunctuationPlacementName(s.punctuation));
       }});
  // A cell drawn by hand; read where the build resolves the single characters' settings.
  table.push_back({.name = "image",
                   .kind = SettingKind::kText,
                   .perSize = true,
                   .high = kMostTextBytes,
                   .glyphOnly = true,
                   .label = "手绘字形",
                   .hint = "与格子同样大小的灰度 PNG；{size} 代表 20、24、64",
                   .help = "A greyscale PNG exactly the cell's size, relative to the style file; {size} stands for 20, "
                           "24 or 64"});
  return table;
}

}  // namespace

double StyleSetting::High(int cellSize) const {
  if (!cellBound) return high;
  return cellSize > 0 ? cellSize : static_cast<int>(SizeModeTable.back().cellSize);
}

double StyleSetting::Low(int cellSize) const { return cellBound && low < 0 ? -High(cellSize) : low; }

std::span<const StyleSetting> StyleTable() {
  static const std::vector<StyleSetting> table = MakeTable();
  return table;
}

const StyleSetting* FindStyleSetting(std::string_view name) {
  const auto table = StyleTable();
  const auto found = std::find_if(table.begin(), table.end(), [name](const StyleSetting& s) { return s.name == name; });
  return found == table.end() ? nullptr : &*found;
}

std::optional<std::string> FaceOf(const StyleSettings& settings) {
  const auto found = settings.all.find("face");
  if (found == settings.all.end()) return std::nullopt;
  return std::get<std::string>(found->second);
}

void SetFace(StyleSettings& settings, const std::string& face) { settings.all["face"] = face; }

std::vector<std::string> FontFilesOf(const StyleSettings& settings) {
  const auto found = settings.all.find("font-file");
  if (found == settings.all.end()) return {};
  return std::get<std::vector<std::string>>(found->second);
}

StyleSettings StyleAsBuilt(StyleSettings settings, const BuildStyle& style,
                           const std::array<std::int32_t, SizeModeTable.size()>& fittedEmHeights) {
  if (style.fit) {
    settings.all.erase("fit");
    settings.all.erase("glyph-size");
    for (std::size_t i = 0; i < settings.sizes.size(); ++i)
      settings.sizes[i]["glyph-size"] = static_cast<int>(fittedEmHeights[i]);
  }
  settings.all["align"] = std::string(style.align == GlyphAlign::kCenter ? "center" : "design");
  return settings;
}

}  // namespace qzf
