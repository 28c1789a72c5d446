// render: a text drawn from a font file's cells alone, as the game shows it.
#include <cstdio>
#include <memory>

#include "cli/cli_language.h"
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
  if (sizes.empty()) return Error(Text(MessageId::kRenderSizeChoices, options.size));
  if (options.width < 1 || options.width > kMaxWidth)
    return Error(Text(MessageId::kWidthRange, std::to_string(kMaxWidth)));
  if (options.scale < 1 || options.scale > kMaxScale)
    return Error(Text(MessageId::kScaleRange, std::to_string(kMaxScale)));
  if (options.text.empty() == options.textFile.empty()) return Error(Text(MessageId::kGiveText));
  if (ToSystemPath(options.png) == std::nullopt) return Error(Text(MessageId::kPathUnusable, options.png));

  int status = 0;
  std::string utf8 = options.text;
  if (!options.textFile.empty()) {
    const auto bytes = LoadInputFile(options.textFile, status);
    if (!bytes) return status;
    utf8.assign(bytes->begin(), bytes->end());
  }
  const auto text = DecodeUtf8(utf8);
  const std::string source = options.textFile.empty() ? Text(MessageId::kTheText) : options.textFile;
  if (!text) return Error(Text(MessageId::kNotUtf8Text, source));
  if (text->empty()) return Error(Text(MessageId::kTextEmpty, source));

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
      Error(Text(MessageId::kUndrawnCharacter, std::to_string(unknown.line), std::to_string(unknown.column), font.name,
                 EncodeUtf8(unknown.character), CodePointName(unknown.character)));
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
    return Error(Text(MessageId::kPictureTooLarge, std::to_string(picture.picture.width),
                      std::to_string(picture.picture.height)));
  }
  status = WriteRgbPng(options.png, picture.picture.rgb, picture.picture.width, picture.picture.height);
  if (status != 0) return status;
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const RenderedFont& font = fonts[i % fonts.size()];
    std::printf("%s\n", Text(MessageId::kRenderLayout, std::to_string(blocks[i].size->cellSize), font.name,
                             std::to_string(font.layout.rows), std::to_string(font.layout.columns),
                             std::to_string(picture.origins[i].x), std::to_string(picture.origins[i].y),
                             std::to_string(blocks[i].size->cellSize * options.scale))
                            .c_str());
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
