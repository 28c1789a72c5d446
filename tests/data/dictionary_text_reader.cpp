#include "tests/data/dictionary_text_reader.h"

#include <cstdio>

namespace qzf::test {
namespace {

class Cursor {
 public:
  explicit Cursor(std::string_view text) : text_(text) {}

  bool Take(std::string_view expected) {
    if (text_.substr(pos_, expected.size()) != expected) return false;
    pos_ += expected.size();
    return true;
  }
  // Everything up to `end`, which is consumed too.
  bool TakeUntil(std::string_view end, std::string& out) {
    const std::size_t at = text_.find(end, pos_);
    if (at == std::string_view::npos) return false;
    out.assign(text_.substr(pos_, at - pos_));
    pos_ = at + end.size();
    return true;
  }
  bool AtEnd() const { return pos_ == text_.size(); }
  std::size_t pos() const { return pos_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

SavedDictionary ReadSavedDictionary(std::string_view text) {
  SavedDictionary dict;
  Cursor in(text);
  if (!in.TakeUntil("\r\n", dict.banner) || !in.Take("\r\n\r\n")) {
    dict.problem = "no banner";
    return dict;
  }
  while (in.Take("\r\ntolva_res_No.")) {
    char number[16];
    std::snprintf(number, sizeof number, "%08u", static_cast<unsigned>(dict.entries.size()));
    SavedEntry e;
    const bool ok = in.Take(number) && in.Take("\r\ntolva_res_ENG_Start\r\n") &&
                    in.TakeUntil("\r\ntolva_res_ENG_End\r\n", e.eng) && in.Take("tolva_res_CHI_Start\r\n") &&
                    in.TakeUntil("\r\ntolva_res_CHI_End\r\n", e.chi) && in.Take("tolva_res_Remark00_Start\r\n") &&
                    in.TakeUntil("\r\ntolva_res_Remark00_End\r\n", e.remark00);
    if (!ok) {
      dict.problem = "block " + std::string(number) + " is malformed near byte " + std::to_string(in.pos());
      return dict;
    }
    dict.entries.push_back(std::move(e));
  }
  if (!in.Take("\r\n\r\n\r\ntolva_res_All_End\r\n") || !in.AtEnd()) {
    dict.problem = "no trailer, or bytes after it, near byte " + std::to_string(in.pos());
  }
  return dict;
}

}  // namespace qzf::test
