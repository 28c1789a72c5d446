#include "studio/studio_data.h"

#include <string_view>

#include "dict/load_dictionary_file.h"
#include "fileutil/data_blocks.h"
#include "fileutil/data_resource_bytes.h"
#include "fontpatch/font_file_report.h"
#include "fontpatch/font_format.h"
#include "fontpatch/pass_messages.h"
#include "platform/portable/system_path.h"
#include "platform/win32.h"

namespace qzf::studio {

std::optional<StudioData> StudioData::Load(const std::string& basePath, const std::string& dictionaryPath,
                                           std::string& error, MessageLanguage language) {
  StudioData data;
  data.basePath_ = basePath;
  data.dictionaryPath_ = dictionaryPath;
  if (basePath.empty()) {
    const auto block = DataResourceBytes(kStockFontBlock);
    if (!block) {
      error = Say(MessageId::kThenHint, language,
                  {Say(MessageId::kBuildNoEmbeddedData, language), Say(MessageId::kHintBaseAndDict, language)});
      return std::nullopt;
    }
    data.stock_ = *block;
  } else {
    auto bytes = ReadWholeFile(basePath.c_str());
    if (!bytes) {
      error = Say(MessageId::kBuildBaseUnreadable, language, {SystemPathToUtf8(basePath)});
      return std::nullopt;
    }
    data.ownStock_ = std::move(*bytes);
    data.stock_ = data.ownStock_;
  }
  if (!IsAcceptedFontImage(data.stock_.data(), data.stock_.size())) {
    error = Say(MessageId::kBaseNotGameFont, language, {basePath.empty() ? "F_FONTJ.qzf" : SystemPathToUtf8(basePath)});
    return std::nullopt;
  }

  data.dictionary_ = std::make_unique<QorvStringDict>();
  std::uint32_t entries = 0;
  if (dictionaryPath.empty()) {
    const auto block = DataResourceBytes(kDictionaryBlock);
    if (block) {
      const std::string text(reinterpret_cast<const char*>(block->data()), block->size());
      entries = data.dictionary_->LoadFromTXTStringA(text.c_str());
    }
  } else {
    entries = LoadDictionaryFile(*data.dictionary_, dictionaryPath.c_str());
  }
  if (entries == 0) {
    const std::string which = dictionaryPath.empty()
                                  ? Say(MessageId::kEmbeddedDictionary, language)
                                  : Say(MessageId::kNamedDictionary, language, {SystemPathToUtf8(dictionaryPath)});
    error = Say(MessageId::kDictionaryNotLoaded, language, {which});
    return std::nullopt;
  }

  data.stockCells_ = std::make_unique<FontFileCells>(data.stock_);
  data.codes_ = std::make_unique<CharacterCodes>(*data.dictionary_);
  const QorvStringDict& dictionary = *data.dictionary_;
  for (std::uint32_t i = 0; i < dictionary.count(); ++i) {
    const DictRecord& entry = dictionary.records()[i];
    if (entry.CHILength < 2 || lstrcmpiA(entry.CHI, pass_text::kNoChange) == 0) continue;
    const auto character = static_cast<std::uint16_t>(static_cast<unsigned char>(entry.CHI[0]) << 8 |
                                                      static_cast<unsigned char>(entry.CHI[1]));
    data.drawn_.push_back(character);
    if (entry.ENGLength != 2) continue;
    const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(entry.ENG[0]) << 8 |
                                                 static_cast<unsigned char>(entry.ENG[1]));
    // The entry a pass finds for the code, which in a dictionary with a key
    // twice need not be this one.
    const CodeKey key = MakeCodeKey(code);
    if (dictionary.FindRecordA(key.data()) != &entry) continue;
    data.characterOfCode_[code] = character;
  }
  return data;
}

std::uint16_t StudioData::CodeAt(std::uint32_t position) const { return qzf::CodeAt(stock_.data(), position); }

std::optional<std::uint16_t> StudioData::CharacterOfCode(std::uint16_t code) const {
  const auto it = characterOfCode_.find(code);
  if (it == characterOfCode_.end()) return std::nullopt;
  return it->second;
}

}  // namespace qzf::studio
