#include "fontpatch/fullwidth_punctuation.h"

namespace qzf {

const FullWidthMark* FindFullWidthMark(std::uint16_t gbk) {
  for (const FullWidthMark& mark : kFullWidthPunctuation) {
    if (mark.gbk == gbk) return &mark;
  }
  return nullptr;
}

}  // namespace qzf
