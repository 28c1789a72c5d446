// render: a text drawn from a font file's cells alone, as the game shows it.
#include <cstdio>
#include <memory>

#include "cli/commands.h"
#include "cli/input_files.h"
#include "cli/png_output.h"
#include "cli/terminal.h"
#include "preview/font_file_cells.h"
#include "preview/text_picture.h"
#include "preview/utf8_text.h"

namespace qzf::cli {
namespace {

struct RenderOptions {
  std::string font;
  std::string dict;
  std::string size = "24";
  std::string text;
  std::string textFile;
  std::string png;
  std::string compare;
  int width = 40;
  int scale = 1;
};

constexpr int kMaxWidth = 1000;
constexpr int kMaxScale = 16;

// The sizes --size names, or none when it names no size.
std::vector<const GlyphSizeInfo*> ChosenSizes(const std::string& name) {
  std::vector<const GlyphSizeInfo*> sizes;
  for (const GlyphSizeInfo& s : SizeModeTable) {
    if (name == "all" || name == std::to_string(s.cellSize)) sizes.push_back(&s);
  }
  return sizes;
}

std::string FileName(const std::string& utf8Path) {
  const std::size_t slash = utf8Path.find_last_of("/\\");
  return slash == std::string::npos ? utf8Path : utf8Path.substr(slash + 1);
}

std::string CodePointName(char32_t c) {
  char hex[16];
  std::snprintf(hex, sizeof(hex), "U+%04X", static_cast<unsigned>(c));
  return hex;
}

// One font file and what the text becomes in it.
struct RenderedFont {
  std::string name;
  std::vector<unsigned char> bytes;
  std::unique_ptr<FontFileCells> cells;
  TextLayout layout;
};

int RunRender(const RenderOptions& options) {
  const std::vector<const GlyphSizeInfo*> sizes = ChosenSizes(options.size);
  if (sizes.empty()) return Error("--size must be 20, 24, 64 or all, not " + options.size);
  if (options.width < 1 || options.width > kMaxWidth)
    return Error("--width must be 1 to " + std::to_string(kMaxWidth) + " cells");
  if (options.scale < 1 || options.scale > kMaxScale) return Error("--scale must be 1 to " + std::to_string(kMaxScale));
  if (options.text.empty() == options.textFile.empty()) return Error("give the text with --text or --text-file");
  if (ToSystemPath(options.png) == std::nullopt)
    return Error("the path " + options.png + " holds characters this system cannot use in file names");

  int status = 0;
  std::string utf8 = options.text;
  if (!options.textFile.empty()) {
    const auto bytes = LoadInputFile(options.textFile, status);
    if (!bytes) return status;
    utf8.assign(bytes->begin(), bytes->end());
  }
  const auto text = DecodeUtf8(utf8);
  const std::string source = options.textFile.empty() ? "the text" : options.textFile;
  if (!text) return Error(source + " is not UTF-8 text");
  if (text->empty()) return Error(source + " is empty");

  std::vector<RenderedFont> fonts(options.compare.empty() ? 1 : 2);
  fonts[0].name = options.font;
  if (!options.compare.empty()) fonts[1].name = options.compare;
  for (RenderedFont& font : fonts) {
    auto bytes = LoadInputFile(font.name, status, true);
    if (!bytes) return status;
    font.bytes = std::move(*bytes);
    font.cells = std::make_unique<FontFileCells>(font.bytes);
  }
  QorvStringDict dictionary;
  if (!LoadInputDictionary(dictionary, options.dict, status)) return status;
  const CharacterCodes codes(dictionary);

  for (RenderedFont& font : fonts) {
    font.layout = LayOutText(*text, static_cast<std::uint32_t>(options.width), codes, *font.cells);
    for (const UnknownCharacter& unknown : font.layout.unknown) {
      std::fprintf(stderr, "qzffont: line %u, column %u: no cell of %s draws \"%s\" (%s); drawn as a box\n",
                   static_cast<unsigned>(unknown.line), static_cast<unsigned>(unknown.column), font.name.c_str(),
                   EncodeUtf8(unknown.character).c_str(), CodePointName(unknown.character).c_str());
    }
  }

  std::vector<TextBlock> blocks;
  for (const GlyphSizeInfo* size : sizes) {
    for (const RenderedFont& font : fonts) {
      const std::string label = std::to_string(size->cellSize) + " px, " + FileName(font.name);
      blocks.push_back({ToGbk(label).value_or(std::to_string(size->cellSize) + " px"), font.cells.get(), &font.layout,
                        size, static_cast<std::uint32_t>(options.scale)});
    }
  }
  const TextPicture picture = DrawTextPicture(blocks);
  if (picture.picture.rgb.empty()) {
    return Error("the picture would be " + std::to_string(picture.picture.width) + " x " +
                 std::to_string(picture.picture.height) + " pixels, too large: give a smaller --width or --scale");
  }
  status = WriteRgbPng(options.png, picture.picture.rgb, picture.picture.width, picture.picture.height);
  if (status != 0) return status;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const RenderedFont& font = fonts[i % fonts.size()];
    std::printf("  %u px, %s: %u lines of up to %u cells, first cell at (%u, %u), %u pixels apart\n",
                static_cast<unsigned>(blocks[i].size->cellSize), font.name.c_str(),
                static_cast<unsigned>(font.layout.rows), static_cast<unsigned>(font.layout.columns),
                static_cast<unsigned>(picture.origins[i].x), static_cast<unsigned>(picture.origins[i].y),
                static_cast<unsigned>(blocks[i].size->cellSize * options.scale));
  }
  return 0;
}

}  // namespace

CommandDescription RenderCommand(int& status) {
  auto options = std::make_shared<RenderOptions>();
  CommandDescription render{"render", "Draw a text from a font file's cells alone, as the game shows it"};
  render.options = {{"--font", "The font file (F_FONTJ.qzf) to draw from", &options->font, true},
                    {"--dict", "Code-mapping dictionary (default: the embedded one)", &options->dict},
                    {"--size", "Cell size: 20, 24, 64 or all", &options->size, false, true},
                    {"--text", "The text (UTF-8)", &options->text},
                    {"--text-file", "A UTF-8 file holding the text", &options->textFile},
                    {"--png", "Picture to write", &options->png, true},
                    {"--compare", "A second font file, drawn below the first", &options->compare},
                    {"--width", "Cells per line before it wraps", &options->width, false, true},
                    {"--scale", "Picture pixels per cell pixel", &options->scale, false, true}};
  render.run = [options, &status] { status = RunRender(*options); };
  return render;
}

}  // namespace qzf::cli
