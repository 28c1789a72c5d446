#include "tests/support/installed_face.h"

#include <algorithm>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/portable/installed_faces.h"

namespace qzf::test {
namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

}  // namespace

bool FaceInstalled(const std::string& face) {
  // Listing the faces asks the whole font system: once per run.
  static const std::vector<std::string> faces = [] {
    std::vector<std::string> lowered;
    for (const std::string& name : ListInstalledFaces()) lowered.push_back(Lower(name));
    return lowered;
  }();
  const auto gbk = Utf8ToGbk(face);
  if (!gbk) return false;
  return std::find(faces.begin(), faces.end(), Lower(*gbk)) != faces.end();
}

std::string NotInstalled(const std::string& face) {
  return face + " is not installed: the test that draws with it is skipped";
}

}  // namespace qzf::test
