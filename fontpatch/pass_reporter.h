// Where a rewrite pass reports: its texts (GBK) and its progress. The default
// writes both to standard output, one "." per rendered glyph.
#pragma once

#include <cstdint>
#include <string_view>

namespace qzf {

class PassReporter {
 public:
  virtual ~PassReporter() = default;
  // A message of the pass, GBK bytes, line breaks included.
  virtual void Message(std::string_view gbk) = 0;
  // One glyph rendered at code-table position `position` of `count`.
  virtual void GlyphRendered(std::uint32_t position, std::uint32_t count) = 0;
};

class StdoutPassReporter final : public PassReporter {
 public:
  void Message(std::string_view gbk) override;
  void GlyphRendered(std::uint32_t position, std::uint32_t count) override;
};

}  // namespace qzf
