#include "fontbuild/style_settings.h"

namespace qzf {
namespace {

template <typename T>
void Take(std::optional<T>& into, const std::optional<T>& over) {
  if (over) into = over;
}

SizeStyleSettings Override(SizeStyleSettings base, const SizeStyleSettings& over) {
  Take(base.glyphSize, over.glyphSize);
  Take(base.baseline, over.baseline);
  Take(base.shift, over.shift);
  Take(base.weight, over.weight);
  Take(base.italic, over.italic);
  Take(base.mono, over.mono);
  Take(base.gamma, over.gamma);
  return base;
}

std::string Range(const char* what, int low, int high) {
  return std::string("must be ") + what + " from " + std::to_string(low) + " to " + std::to_string(high);
}

}  // namespace

bool StyleSettings::PlacementGiven() const {
  if (align) return true;
  auto placed = [](const SizeStyleSettings& s) { return s.baseline.has_value() || s.shift.has_value(); };
  if (placed(all)) return true;
  for (const SizeStyleSettings& s : sizes)
    if (placed(s)) return true;
  return false;
}

StyleSettings OverrideStyle(const StyleSettings& base, const StyleSettings& over) {
  StyleSettings out = base;
  Take(out.face, over.face);
  Take(out.fallback, over.fallback);
  Take(out.fontFile, over.fontFile);
  Take(out.align, over.align);
  Take(out.fit, over.fit);
  // A value the command line gives for every size beats the file's per-size one.
  out.all = Override(out.all, over.all);
  for (std::size_t i = 0; i < out.sizes.size(); ++i) {
    SizeStyleSettings& size = out.sizes[i];
    const SizeStyleSettings& all = over.all;
    if (all.glyphSize) size.glyphSize.reset();
    if (all.baseline) size.baseline.reset();
    if (all.shift) size.shift.reset();
    if (all.weight) size.weight.reset();
    if (all.italic) size.italic.reset();
    if (all.mono) size.mono.reset();
    if (all.gamma) size.gamma.reset();
    size = Override(size, over.sizes[i]);
  }
  return out;
}

std::string CheckGlyphSize(int value) {
  return value >= kMinGlyphSize && value <= kMaxGlyphSize ? "" : Range("an integer", kMinGlyphSize, kMaxGlyphSize);
}

std::string CheckBaseline(int value, int cellSize) {
  const int high = cellSize > 0 ? cellSize : 64;
  return value >= 0 && value <= high ? "" : Range("a row", 0, high);
}

std::string CheckShift(int value, int cellSize) {
  const int high = cellSize > 0 ? cellSize : 64;
  return value >= -high && value <= high ? "" : Range("a number of pixels", -high, high);
}

std::string CheckWeight(int value) {
  return value >= kMinWeight && value <= kMaxWeight ? "" : Range("an integer", kMinWeight, kMaxWeight);
}

std::string CheckGamma(double value) {
  return value >= kMinGamma && value <= kMaxGamma ? "" : "must be a number from 0.1 to 10";
}

std::array<GlyphStyle, SizeModeTable.size()> SizeStylesOf(const StyleSettings& settings) {
  std::array<GlyphStyle, SizeModeTable.size()> styles{};
  for (std::size_t i = 0; i < styles.size(); ++i) {
    const SizeStyleSettings s = Override(settings.all, settings.sizes[i]);
    GlyphStyle& style = styles[i];
    style.emHeight = s.glyphSize.value_or(0);
    style.baseline = s.baseline;
    if (s.shift) {
      style.shiftX = s.shift->first;
      style.shiftY = s.shift->second;
    }
    style.weight = s.weight.value_or(style.weight);
    style.italic = s.italic.value_or(false);
    style.mono = s.mono.value_or(false);
    style.gamma = s.gamma.value_or(1.0);
  }
  return styles;
}

std::optional<std::size_t> SizeIndexOf(int cellSize) {
  for (std::size_t i = 0; i < SizeModeTable.size(); ++i)
    if (static_cast<int>(SizeModeTable[i].cellSize) == cellSize) return i;
  return std::nullopt;
}

}  // namespace qzf
