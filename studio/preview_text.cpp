#include "studio/preview_text.h"

#include "platform/portable/codepage.h"

namespace qzf::studio {
namespace {

// The length of the UTF-8 sequence a lead byte starts; 0 for a bad lead.
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 0;
}

}  // namespace

std::optional<std::vector<PreviewCharacter>> MapPreviewText(const StudioData& data, const std::string& utf8) {
  std::vector<PreviewCharacter> characters;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(utf8[i]));
    if (length == 0 || i + length > utf8.size()) return std::nullopt;
    PreviewCharacter c;
    c.text = utf8.substr(i, length);
    i += length;
    if (c.text == "\r") {
      if (i < utf8.size() && utf8[i] == '\n') ++i;
      c.text = "\n";
    }
    if (c.text == "\n") {
      c.lineBreak = true;
    } else if (c.text == " ") {
      c.space = true;
    } else if (const auto gbk = Utf8ToGbk(c.text); gbk && gbk->size() == 2) {
      const auto character = static_cast<std::uint16_t>(static_cast<unsigned char>((*gbk)[0]) << 8 |
                                                        static_cast<unsigned char>((*gbk)[1]));
      if (const auto code = data.CodeOfCharacter(character)) c.position = data.PositionOf(*code);
    } else if (!gbk && length == 1) {
      return std::nullopt;  // a stray byte
    }
    characters.push_back(std::move(c));
  }
  return characters;
}

}  // namespace qzf::studio
