#include "fontbuild/build_failure_text.h"

#include "platform/base/codepage.h"

namespace qzf {

std::string BuildFailureText(const FontBuildResult& result, const BuildFailureNames& names, MessageLanguage language) {
  const auto say = [language](MessageId id, std::initializer_list<std::string_view> values = {}) {
    return Say(id, language, values);
  };
  const auto hinted = [&](std::string text, MessageId hint) {
    return names.optionHints ? say(MessageId::kThenHint, {text, say(hint)}) : text;
  };
  switch (result.status) {
    case FontBuildStatus::kUnknownFace:
      if (result.faceUsed.empty()) return say(MessageId::kBuildNoFace, {names.face});
      return hinted(say(MessageId::kBuildUnknownFace, {names.face, GbkToUtf8Lossy(result.faceUsed)}),
                    MessageId::kHintSubstitute);
    case FontBuildStatus::kUnknownFallback:
      return hinted(say(MessageId::kBuildUnknownFallback, {GbkToUtf8Lossy(result.detail)}), MessageId::kHintFallback);
    case FontBuildStatus::kFontFileUnusable:
      return say(MessageId::kBuildFontFileUnusable, {names.fontFile});
    case FontBuildStatus::kBaseUnreadable:
      return say(MessageId::kBuildBaseUnreadable, {names.base});
    case FontBuildStatus::kBaseRefused:
      return say(MessageId::kBuildBaseRefused, {names.base, result.detail});
    case FontBuildStatus::kDictionaryNotLoaded: {
      const std::string which = names.dictionary.empty() ? say(MessageId::kEmbeddedDictionary)
                                                         : say(MessageId::kNamedDictionary, {names.dictionary});
      if (!result.detail.empty()) return say(MessageId::kBuildDictionaryUnusable, {which, result.detail});
      return say(MessageId::kDictionaryNotLoaded, {which});
    }
    case FontBuildStatus::kOutputUnwritable:
      return say(MessageId::kBuildOutputUnwritable, {names.output});
    case FontBuildStatus::kPassFailed:
      return say(MessageId::kBuildPassFailed, {result.detail, names.output});
    case FontBuildStatus::kNoEmbeddedData:
      return hinted(say(MessageId::kBuildNoEmbeddedData), MessageId::kHintBaseAndDict);
    case FontBuildStatus::kGlyphRefused:
      return say(MessageId::kBuildGlyphRefused, {result.detail});
    case FontBuildStatus::kOk:
      break;
  }
  return say(MessageId::kBuildFailed);
}

}  // namespace qzf
