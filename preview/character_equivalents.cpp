#include "preview/character_equivalents.h"

#include <array>

namespace qzf {
namespace {

constexpr std::array<CharacterPair, 9> kPairs{{
    {U'\u2014', U'\u2015'},  // EM DASH, HORIZONTAL BAR
    {U'\u00B7', U'\u30FB'},  // MIDDLE DOT, KATAKANA MIDDLE DOT
    {U'\u301C', U'\uFF5E'},  // WAVE DASH, FULLWIDTH TILDE
    {U'\u2016', U'\u2225'},  // DOUBLE VERTICAL LINE, PARALLEL TO
    {U'\u2212', U'\uFF0D'},  // MINUS SIGN, FULLWIDTH HYPHEN-MINUS
    {U'\u00A2', U'\uFFE0'},  // CENT SIGN, FULLWIDTH CENT SIGN
    {U'\u00A3', U'\uFFE1'},  // POUND SIGN, FULLWIDTH POUND SIGN
    {U'\u00AC', U'\uFFE2'},  // NOT SIGN, FULLWIDTH NOT SIGN
    {U'\u02C9', U'\uFFE3'},  // MODIFIER LETTER MACRON, FULLWIDTH MACRON
}};

}  // namespace

std::span<const CharacterPair> CharacterEquivalents() { return kPairs; }

char32_t EquivalentCharacter(char32_t c) {
  for (const CharacterPair& pair : kPairs) {
    if (pair.other == c) return pair.game;
  }
  for (const CharacterPair& pair : kPairs) {
    if (pair.game == c) return pair.other;
  }
  return 0;
}

}  // namespace qzf
