#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "dict/qorv_string_dict.h"
#include "tests/dict/dict_test_util.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scratch_dir.h"

namespace qzf {
namespace {

using test::DictBlock;
using test::DictText;
using test::Entries;
using test::Entry;

const std::vector<Entry> kThree = {{"\x81\x40", "\xA1\xA1", ""}, {"\x81\x41", "\xA3\xAC", "note"}, {"\x82", "c", "d"}};

class TextLoadTest : public ::testing::Test {
 protected:
  // Writes the file into the scratch directory and gives its full path.
  std::string Write(const std::string& name, const std::string& bytes) {
    test::WriteBytes(dir.File(name), bytes);
    return test::WinPath(dir.File(name));
  }
  test::ScratchDir dir;
  QorvStringDict dict;
};

TEST_F(TextLoadTest, FileLoadParsesInPlaceAndSetsTheFields) {
  const std::string text = DictText(kThree);
  const std::string path = Write("d.txt", text);
  ASSERT_EQ(dict.LoadFromTXTFileA(path.c_str()), 3u);
  EXPECT_EQ(Entries(dict), kThree);
  EXPECT_TRUE(test::Consistent(dict));
  EXPECT_STREQ(dict.path(), path.c_str());
  EXPECT_EQ(dict.GetTextSize(), text.size());
  EXPECT_EQ(dict.textSize(), text.size());
  EXPECT_EQ(dict.textCapacity(), text.size());
  EXPECT_EQ(dict.textUsed(), text.size());
  EXPECT_EQ(dict.recordCapacity(), 3u);
  EXPECT_EQ(dict.records(), dict.recordStorage());
  // Every text is terminated inside the one buffer that holds the whole file.
  EXPECT_TRUE(test::InTextBuffer(dict, dict.records()[2].Remark00));
  EXPECT_EQ(std::memcmp(dict.text(), text.data(), 20), 0);
}

TEST_F(TextLoadTest, BareNameIsResolvedAgainstTheCurrentDirectory) {
  Write("bare.txt", DictText(kThree));
  test::CurrentDirectory cd(dir.path());
  ASSERT_EQ(dict.LoadFromTXTFileA("bare.txt"), 3u);
  const std::string expected = test::WinPath(dir.File("bare.txt"));
  EXPECT_STREQ(dict.path(), expected.c_str());
}

// Windows takes a slash for a backslash, and so do the loaders: a name with
// slashes only is a path as it stands, relative or absolute.
TEST_F(TextLoadTest, ANameWithSlashesIsAPathAsItStands) {
  std::filesystem::create_directory(dir.path() / "sub");
  test::WriteBytes((dir.path() / "sub" / "x.txt").string(), DictText(kThree));
  test::CurrentDirectory cd(dir.path());
  EXPECT_EQ(dict.LoadFromTXTFileA("sub/x.txt"), 3u);
  EXPECT_STREQ(dict.path(), "sub/x.txt");
  std::string absolute = test::WinPath(dir.File("sub\\x.txt"));
  for (char& c : absolute) {
    if (c == '\\') c = '/';
  }
  ASSERT_EQ(dict.LoadFromTXTFileA(absolute.c_str()), 3u);
  EXPECT_EQ(dict.path(), absolute);
  QorvStringDict image;
  ASSERT_GT(dict.SaveToBINFileA(test::WinPath(dir.File("sub\\x.bin")).c_str()), 8u);
  EXPECT_EQ(image.LoadFromBINFileA((absolute.substr(0, absolute.size() - 3) + "bin").c_str()), 3u);
}

TEST_F(TextLoadTest, RefusedSizesKeepThePreviousEntries) {
  ASSERT_EQ(dict.LoadFromTXTFileA(Write("good.txt", DictText(kThree)).c_str()), 3u);
  const std::string empty = Write("empty.txt", "");
  const std::string huge = Write("huge.txt", "");
  std::filesystem::resize_file(dir.path() / "huge.txt", 200000001);
  const std::string missing = test::WinPath(dir.File("missing.txt"));
  for (const std::string& path : {empty, huge, missing}) {
    EXPECT_EQ(dict.LoadFromTXTFileA(path.c_str()), 0u) << path;
    EXPECT_NE(dict.FindRecordA("\x81\x40"), nullptr) << path;
    EXPECT_EQ(dict.count(), 3u);
    // The path is recorded before anything is read.
    EXPECT_STREQ(dict.path(), path.c_str());
  }
}

TEST_F(TextLoadTest, FileOfExactlyTheLimitPassesTheSizeTest) {
  ASSERT_EQ(dict.LoadFromTXTFileA(Write("good.txt", DictText(kThree)).c_str()), 3u);
  const std::string limit = Write("limit.txt", "");
  std::filesystem::resize_file(dir.path() / "limit.txt", 200000000);
  // All zeros: read whole, no entry marker, and the old entries are gone.
  EXPECT_EQ(dict.LoadFromTXTFileA(limit.c_str()), 0u);
  EXPECT_EQ(dict.FindRecordA("\x81\x40"), nullptr);
  EXPECT_EQ(dict.count(), 0u);
}

TEST_F(TextLoadTest, NamesAndPathsOf260BytesOrMoreAreRefused) {
  ASSERT_EQ(dict.LoadFromTXTFileA(Write("good.txt", DictText(kThree)).c_str()), 3u);
  const std::string fits = "C:\\" + std::string(256, 'x');  // 259 bytes
  EXPECT_EQ(dict.LoadFromTXTFileA(fits.c_str()), 0u);
  EXPECT_EQ(dict.path(), fits);
  const std::string tooLong = fits + "y";
  EXPECT_EQ(dict.LoadFromTXTFileA(tooLong.c_str()), 0u);
  EXPECT_STREQ(dict.path(), "");
  EXPECT_EQ(dict.LoadFromBINFileA(tooLong.c_str()), 0u);
  EXPECT_EQ(dict.count(), 3u);
  EXPECT_NE(dict.FindRecordA("\x82"), nullptr);
  // A bare name whose resolved path would be too long.
  test::CurrentDirectory cd(dir.path());
  EXPECT_EQ(dict.LoadFromTXTFileA(std::string(258, 'n').c_str()), 0u);
  EXPECT_STREQ(dict.path(), "");
  EXPECT_EQ(dict.count(), 3u);
}

TEST_F(TextLoadTest, StringLoadClearsThePathAndRefusesNullAndEmpty) {
  ASSERT_EQ(dict.LoadFromTXTFileA(Write("good.txt", DictText(kThree)).c_str()), 3u);
  EXPECT_EQ(dict.LoadFromTXTStringA(nullptr), 0u);
  EXPECT_STRNE(dict.path(), "");
  EXPECT_EQ(dict.LoadFromTXTStringA(""), 0u);
  EXPECT_STREQ(dict.path(), "");
  EXPECT_EQ(dict.count(), 3u);
  const std::string text = DictText({{"k", "v", ""}});
  EXPECT_EQ(dict.LoadFromTXTStringA(text.c_str()), 1u);
  EXPECT_EQ(dict.textSize(), text.size());
  EXPECT_NE(dict.text(), text.c_str());
}

TEST_F(TextLoadTest, EmptyTextsAndAnEndMarkerRightAfterTheStartLine) {
  const std::string text =
      "\r\ntolva_res_No.0\r\ntolva_res_ENG_Start\r\nk\r\ntolva_res_ENG_End\r\n"
      "tolva_res_CHI_Start\r\ntolva_res_CHI_End\r\n"
      "tolva_res_Remark00_Start\r\n\r\ntolva_res_Remark00_End\r\n";
  ASSERT_EQ(dict.LoadFromTXTStringA(text.c_str()), 1u);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"k", "", ""}}));
  EXPECT_TRUE(test::Consistent(dict));
}

TEST_F(TextLoadTest, MultiLineTextsKeepTheirInnerLineBreaks) {
  const std::vector<Entry> entries = {{"line one\r\nline two", "x\r\n\r\ny", "tolva_res_CHI_End"}};
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText(entries).c_str()), 1u);
  EXPECT_EQ(Entries(dict), entries);
}

TEST_F(TextLoadTest, EntriesAreIndexedByPositionNotByTheirDigits) {
  std::string text = "banner\r\n";
  text += DictBlock(7, kThree[0]) + DictBlock(7, kThree[1]);
  text +=
      "\r\ntolva_res_No.\r\nstray line\r\ntolva_res_ENG_Start\r\n\x82\r\ntolva_res_ENG_End\r\n"
      "between\r\ntolva_res_CHI_Start\r\nc\r\ntolva_res_CHI_End\r\n"
      "tolva_res_Remark00_Start\r\nd\r\ntolva_res_Remark00_End";  // no final line break
  ASSERT_EQ(dict.LoadFromTXTStringA(text.c_str()), 3u);
  EXPECT_EQ(Entries(dict), kThree);
}

TEST_F(TextLoadTest, AFirstMarkerWithoutALineBreakBeforeItIsLost) {
  const std::string text = DictText(kThree).substr(DictText(kThree).find("tolva_res_No."));
  ASSERT_EQ(text.rfind("tolva_res_No.", 0), 0u);
  ASSERT_EQ(dict.LoadFromTXTStringA(text.c_str()), 2u);
  EXPECT_EQ(dict.recordCapacity(), 2u);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>(kThree.begin() + 1, kThree.end())));
}

TEST_F(TextLoadTest, TextWithoutEntryMarkerGivesZero) {
  EXPECT_EQ(dict.LoadFromTXTStringA("tolva_res_ENG_Start\r\nx\r\ntolva_res_ENG_End\r\n"), 0u);
  EXPECT_EQ(dict.LoadFromTXTStringA("tolva_res_No.00000000\r\n"), 0u);
  EXPECT_EQ(dict.count(), 0u);
  EXPECT_EQ(dict.FindRecordA("x"), nullptr);
}

TEST_F(TextLoadTest, NulByteHidesTheRestOfTheFile) {
  std::string text = DictText(kThree);
  const std::size_t third = text.find("\r\ntolva_res_No.00000002");
  std::string hidden = text;
  hidden[third] = '\0';
  ASSERT_EQ(dict.LoadFromTXTFileA(Write("hidden.txt", hidden).c_str()), 2u);
  EXPECT_EQ(dict.FindRecordA("\x82"), nullptr);
  EXPECT_EQ(dict.textSize(), text.size());
  // A NUL inside an entry cuts it: the load fails and the store is empty.
  std::string cut = text;
  cut[text.find("tolva_res_CHI_End", third)] = '\0';
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(dict.LoadFromTXTFileA(Write("cut.txt", cut).c_str()), 0u);
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(dict.count(), 0u);
  EXPECT_EQ(dict.records(), nullptr);
  EXPECT_EQ(dict.FindRecordA("\x81\x40"), nullptr);
}

TEST_F(TextLoadTest, OneByteTextRegionIsReadAsAnEmptyText) {
  const std::string text =
      "\r\ntolva_res_No.\r\ntolva_res_ENG_Start\r\nktolva_res_ENG_End\r\n"
      "tolva_res_CHI_Start\r\nv\r\ntolva_res_CHI_End\r\ntolva_res_Remark00_Start\r\n\r\ntolva_res_Remark00_End\r\n";
  ASSERT_EQ(dict.LoadFromTXTStringA(text.c_str()), 1u);
  EXPECT_EQ(Entries(dict), (std::vector<Entry>{{"", "v", ""}}));
  EXPECT_TRUE(test::Consistent(dict));
}

// Each missing marker fails the load, names the entry on standard error (in
// GBK) and leaves an empty store; standard output stays clean.
TEST_F(TextLoadTest, MissingMarkerFailsWithItsDiagnostic) {
  struct Case {
    const char* marker;
    const char* replacement;
    const char* diagnostic;
  };
  const Case cases[] = {
      {"tolva_res_ENG_Start", "tolva_res_ENG_Stort",
       "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD ENG \xB6\xCE\xC6\xF0\xCA\xBC\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA"
       "1\xB8\xF6\xD7\xCA\xD4\xB4\n"},
      {"tolva_res_ENG_End", "tolva_res_ENG_Ent",
       "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD ENG \xB6\xCE\xBD\xE1\xCA\xF8\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA"
       "1\xB8\xF6\xD7\xCA\xD4\xB4\n"},
      {"tolva_res_CHI_Start", "tolva_res_CHI_Stort",
       "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD CHI \xB6\xCE\xC6\xF0\xCA\xBC\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA"
       "1\xB8\xF6\xD7\xCA\xD4\xB4\n"},
      {"tolva_res_CHI_End", "tolva_res_CHI_Ent",
       "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD CHI \xB6\xCE\xBD\xE1\xCA\xF8\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA"
       "1\xB8\xF6\xD7\xCA\xD4\xB4\n"},
      {"tolva_res_Remark00_Start", "tolva_res_Remark00_Stort",
       "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD Remark00 \xB6\xCE\xC6\xF0\xCA\xBC\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA"
       "1\xB8\xF6\xD7\xCA\xD4\xB4\n"},
      {"tolva_res_Remark00_End", "tolva_res_Remark00_Ent",
       "\xC3\xBB\xD3\xD0\xD5\xD2\xB5\xBD Remark00 \xB6\xCE\xBD\xE1\xCA\xF8\xB9\xD8\xBC\xFC\xD7\xD6\xA3\xAC\xB5\xDA"
       "1\xB8\xF6\xD7\xCA\xD4\xB4\n"},
  };
  const std::string good = DictText(kThree);
  for (const Case& c : cases) {
    // Break the marker of the second entry (index 1) and every one after it.
    std::string text = good;
    for (std::size_t at = text.find(c.marker, text.find("tolva_res_No.00000001")); at != std::string::npos;
         at = text.find(c.marker, at + 1)) {
      text.replace(at, std::strlen(c.marker), c.replacement);
    }
    ASSERT_EQ(dict.LoadFromTXTStringA(good.c_str()), 3u);
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(dict.LoadFromTXTStringA(text.c_str()), 0u) << c.marker;
    const std::string err = ::testing::internal::GetCapturedStderr();
    const std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(err, c.diagnostic) << c.marker;
    EXPECT_EQ(out, "");
    EXPECT_EQ(dict.count(), 0u);
    EXPECT_EQ(dict.records(), nullptr);
    EXPECT_EQ(dict.FindRecordA("\x81\x40"), nullptr);
    EXPECT_EQ(dict.FindIndexA("\x81\x40"), kDictNoIndex);
  }
}

// Every prefix of a valid text, cut anywhere (inside a marker, right after a
// start marker), loads safely: either nothing, or complete entries only.
TEST_F(TextLoadTest, TextCutShortAnywhereLoadsSafely) {
  const std::string text = DictText({{"k1", "v1", ""}, {"k2", "", "r"}});
  for (std::size_t cut = 1; cut <= text.size(); ++cut) {
    const std::string part = text.substr(0, cut);
    ::testing::internal::CaptureStderr();
    const std::uint32_t n = dict.LoadFromTXTStringA(part.c_str());
    ::testing::internal::GetCapturedStderr();
    ASSERT_LE(n, 2u) << cut;
    ASSERT_EQ(dict.count(), n) << cut;
    ASSERT_TRUE(test::Consistent(dict)) << cut;
    if (n == 0) {
      ASSERT_EQ(dict.FindRecordA("k1"), nullptr) << cut;
    }
  }
  EXPECT_EQ(dict.count(), 2u);
}

TEST_F(TextLoadTest, ReloadReadsTheRecordedPathAgain) {
  const std::string path = Write("d.txt", DictText(kThree));
  ASSERT_EQ(dict.LoadFromTXTFileA(path.c_str()), 3u);
  test::WriteBytes(dir.File("d.txt"), DictText({{"new", "x", ""}}));
  EXPECT_EQ(dict.ReloadTXTFileA(), 1u);
  EXPECT_STREQ(dict.path(), path.c_str());
  EXPECT_NE(dict.FindRecordA("new"), nullptr);
  // The name passed may be the store's own path field.
  EXPECT_EQ(dict.LoadFromTXTFileA(dict.path()), 1u);
}

TEST_F(TextLoadTest, ReloadAfterAStringLoadFailsAndLeavesAnEmptyStore) {
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText(kThree).c_str()), 3u);
  EXPECT_EQ(dict.ReloadTXTFileA(), 0u);
  EXPECT_EQ(dict.count(), 0u);
  EXPECT_EQ(dict.textCapacity(), 0u);
  EXPECT_EQ(dict.recordCapacity(), 0u);
  EXPECT_EQ(dict.FindRecordA("\x82"), nullptr);
  // The emptied store can still be filled again.
  EXPECT_NE(dict.AddRecordA("a", "b", "c"), nullptr);
  EXPECT_TRUE(test::Consistent(dict));
}

TEST_F(TextLoadTest, StringLoadFromTheStoresOwnBufferIsSafe) {
  ASSERT_EQ(dict.LoadFromTXTStringA(DictText(kThree).c_str()), 3u);
  // The buffer now ends each text in place, so only the first part is seen.
  ::testing::internal::CaptureStderr();
  dict.LoadFromTXTStringA(dict.text());
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(test::Consistent(dict));
}

}  // namespace
}  // namespace qzf
