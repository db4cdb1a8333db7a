#include "common/private_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "tests/support/temp_dir.h"

namespace kam {
namespace {

using namespace std::string_literals;

// UTF-16LE bytes of an ASCII/BMP UTF-8 text, with the byte-order mark.
std::string Utf16LeFile(std::u16string_view text) {
  std::string out = "\xFF\xFE";
  for (char16_t u : text) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>(u >> 8));
  }
  return out;
}

struct ReadCase {
  const char* name;
  std::string file;
  std::string section;
  std::string key;
  std::string expected;
  std::string default_value = "DEFAULT";
  std::size_t buffer = 256;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }

class ProfileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileRead, ReadsFromARealFile) {
  const ReadCase& c = GetParam();
  testing::TempDir dir;
  const auto file = dir.Write("settings.ini", c.file);
  EXPECT_EQ(ReadProfileFile(file, c.section, c.key, c.default_value, c.buffer), c.expected);
}

const std::string k300(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileRead,
    ::testing::Values(
        ReadCase{"Plain", "[kampeizhi]\r\nwangzhan=http://a.b/c\r\n", "kampeizhi", "wangzhan",
                 "http://a.b/c"},
        ReadCase{"SectionCaseInsensitive", "[KamPeiZhi]\r\nname=x\r\n", "kampeizhi", "name", "x"},
        ReadCase{"KeyCaseInsensitive", "[s]\r\nWangZhan=x\r\n", "S", "WANGZHAN", "x"},
        // Full-width letters are not ASCII and do not fold.
        ReadCase{"OnlyAsciiFolds", "[s]\r\n\xA3\xC1=x\r\n", "s", "\xEF\xBD\x81", "DEFAULT"},
        ReadCase{"QueryTrimmed", "[s]\r\nk=v\r\n", " \ts\v", "\fk ", "v"},
        ReadCase{"BlanksTrimmed", " \t[ s \t]  \r\n \t k \v=\f v w \t\r\n", "s", "k", "v w"},
        ReadCase{"NameRunsToLastBracket", "[a]b]\r\nk=1\r\n", "a]b", "k", "1"},
        ReadCase{"TextAfterLastBracketIgnored", "[a] tail\r\nk=1\r\n", "a", "k", "1"},
        ReadCase{"BracketWithoutCloseIsNoHeader", "[s]\r\nk=1\r\n[t\r\nj=2\r\n", "s", "j", "2"},
        ReadCase{"UnclosedBracketLineIsAKey", "[s]\r\n[t=3\r\n", "s", "[t", "3"},
        ReadCase{"SplitAtFirstEquals", "[s]\r\nk=a=b\r\n", "s", "k", "a=b"},
        ReadCase{"LineWithoutEqualsHoldsNoKey", "[s]\r\nk\r\n", "s", "k", "DEFAULT"},
        ReadCase{"KeyAfterBareLine", "[s]\r\nk\r\nk=2\r\n", "s", "k", "2"},
        ReadCase{"FirstSectionOfNameOnly", "[s]\r\na=1\r\n[t]\r\n[S]\r\nb=3\r\n", "s", "b",
                 "DEFAULT"},
        ReadCase{"FirstSectionWins", "[s]\r\na=1\r\n[s]\r\na=2\r\n", "s", "a", "1"},
        ReadCase{"FirstKeyWins", "[s]\r\na=1\r\nA=2\r\n", "s", "a", "1"},
        ReadCase{"DoubleQuotes", "[s]\r\nk=\"v\"\r\n", "s", "k", "v"},
        ReadCase{"SingleQuotes", "[s]\r\nk='v'\r\n", "s", "k", "v"},
        ReadCase{"QuotesKeepInnerBlanks", "[s]\r\nk=\" v \"\r\n", "s", "k", " v "},
        ReadCase{"OnlyOnePairRemoved", "[s]\r\nk=\"\"v\"\"\r\n", "s", "k", "\"v\""},
        ReadCase{"MismatchedQuotesStay", "[s]\r\nk=\"v'\r\n", "s", "k", "\"v'"},
        ReadCase{"LoneQuoteStays", "[s]\r\nk=\"\r\n", "s", "k", "\""},
        ReadCase{"InnerQuotesStay", "[s]\r\nk=a\"b\"\r\n", "s", "k", "a\"b\""},
        ReadCase{"EmptyQuotes", "[s]\r\nk=\"\"\r\n", "s", "k", ""},
        ReadCase{"CommentCharsAreValue", "[s]\r\nk=a;b#c\r\n", "s", "k", "a;b#c"},
        ReadCase{"LeadingSemicolonIsValue", "[s]\r\nk=;x\r\n", "s", "k", ";x"},
        ReadCase{"CrLineEnds", "[s]\rk=1\rj=2\r", "s", "j", "2"},
        ReadCase{"LfLineEnds", "[s]\nk=1\nj=2\n", "s", "j", "2"},
        ReadCase{"MixedLineEnds", "[t]\r\n[s]\rk=1\n\r\nj=2", "s", "j", "2"},
        ReadCase{"NoFinalLineBreak", "[s]\r\nk=last", "s", "k", "last"},
        ReadCase{"KeysBeforeSectionsAreUnnamed", "k=0\r\n[s]\r\nk=1\r\n", "s", "k", "1"},
        ReadCase{"KeysBeforeSectionsNotFound", "k=0\r\n[s]\r\n", "s", "k", "DEFAULT"},
        ReadCase{"EmptyValueIsNotDefault", "[s]\r\nk=\r\n", "s", "k", ""},
        ReadCase{"BlankValueIsEmpty", "[s]\r\nk= \t \r\n", "s", "k", ""},
        ReadCase{"MissingSection", "[s]\r\nk=1\r\n", "t", "k", "DEFAULT"},
        ReadCase{"MissingKey", "[s]\r\nk=1\r\n", "s", "j", "DEFAULT"},
        ReadCase{"EmptyFile", "", "s", "k", "DEFAULT"},
        ReadCase{"NotIniText", "<html>500 error</html>", "s", "k", ""s, ""s},
        ReadCase{"EmptyKeyQueryIsDefault", "[s]\r\n=1\r\n", "s", "", "DEFAULT"},
        ReadCase{"DefaultLosesTrailingSpaces", "", "s", "k", "d", "d  "},
        ReadCase{"ValueEndsAtNul", "[s]\r\nk=ab\0cd\r\n"s, "s", "k", "ab"},
        // GBK: names and values are decoded from the code page.
        ReadCase{"GbkSectionKeyValue",
                 "[\xC9\xE8\xD6\xC3]\r\n\xC3\xFB\xB3\xC6=\xD6\xD0\xCE\xC4\xD6\xB5\r\n", "设置",
                 "名称", "中文值"},
        // 0x81 0x5D is one character whose trail byte is "]": the line opens no section.
        ReadCase{"GbkTrailByteIsNoBracket", "[s]\r\n[\x81]\r\nj=2\r\n", "s", "j", "2"},
        // 0x81 0x41 and 0x81 0x61 differ only in a trail byte that looks like a letter.
        ReadCase{"GbkTrailBytesDoNotFold", "[s]\r\n\x81\x41=1\r\n", "s", "乤", "DEFAULT"},
        ReadCase{"GbkTrailByteKeyFound", "[s]\r\n\x81\x41=1\r\n", "s", "丄", "1"},
        // Truncation to buffer size - 1 bytes of GBK.
        ReadCase{"CutTo255", "[s]\r\nk=" + k300 + "\r\n", "s", "k", std::string(255, 'x')},
        ReadCase{"DoubleByteStraddlingCutIsDropped",
                 "[s]\r\nk=" + std::string(254, 'x') + "\xD6\xD0" + "\r\n", "s", "k",
                 std::string(254, 'x')},
        ReadCase{"DoubleByteEndingAtCutIsKept",
                 "[s]\r\nk=" + std::string(253, 'x') + "\xD6\xD0" + "yy\r\n", "s", "k",
                 std::string(253, 'x') + "中"},
        ReadCase{"SmallBufferCountsBytes", "[s]\r\nk=\xD6\xD0\xCE\xC4\xD6\xB5\r\n", "s", "k",
                 "中文", "", 6},
        ReadCase{"BufferOfOneIsEmpty", "[s]\r\nk=abc\r\n", "s", "k", "", "", 1},
        ReadCase{"DefaultIsCutToo", "", "s", "k", "ab", "abcdef", 3},
        // Byte-order marks.
        ReadCase{"Utf8Bom", "\xEF\xBB\xBF[\xE8\xAE\xBE]\r\nk=\xE4\xB8\xAD\r\n", "设", "k", "中"},
        ReadCase{"Utf8BomCharacterWithoutGbkKept", "\xEF\xBB\xBF[s]\r\nk=a\xF0\x9F\x98\x80\r\n",
                 "s", "k", "a😀"},
        ReadCase{"Utf8BomCutCountsGbkBytes", "\xEF\xBB\xBF[s]\r\nk=\xE4\xB8\xAD\xE6\x96\x87\r\n",
                 "s", "k", "中", "", 4},
        ReadCase{"Utf16LeBom", Utf16LeFile(u"[设置]\r\nKey = \"中文\"\r\n"), "设置", "key", "中文"},
        ReadCase{"Utf16LeLfOnly", Utf16LeFile(u"[s]\nk=1\nj=2"), "s", "j", "2"},
        // Without a mark, UTF-8 bytes are taken as GBK and a UTF-8 name does not match.
        ReadCase{"NoBomMeansGbk", "[\xE8\xAE\xBE]\r\nk=1\r\n", "设", "k", "DEFAULT"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ProfileRead, MissingFileGivesDefault) {
  testing::TempDir dir;
  EXPECT_EQ(ReadProfileFile(dir.path() / "none.ini", "s", "k", "dflt", 256), "dflt");
  EXPECT_EQ(ReadProfileFile(dir.path() / "none.ini", "s", "k", "", 256), "");
}

TEST(ProfileRead, AFolderInsteadOfAFileGivesDefault) {
  testing::TempDir dir;
  EXPECT_EQ(ReadProfileFile(dir.path(), "s", "k", "dflt", 256), "dflt");
}

struct WriteCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }

class ProfileWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyWhatItMust) {
  const WriteCase& c = GetParam();
  testing::TempDir dir;
  const auto file = dir.path() / "Config.ini";
  if (!c.before.empty()) dir.Write("Config.ini", c.before);
  ASSERT_TRUE(WriteProfileFile(file, c.section, c.key, c.value));
  EXPECT_EQ(ReadFileBytes(file), c.after);
  EXPECT_EQ(ReadProfileFile(file, c.section, c.key, "DEFAULT", 32767), c.value);
  // Nothing else is left in the folder: the temporary file was renamed over the target.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileWrite,
    ::testing::Values(
        WriteCase{"CreatesMissingFile", "", "Version", "Version", "1.2",
                  "[Version]\r\nVersion=1.2\r\n"},
        WriteCase{"ReplacesLineInPlace", "; note\r\n[s]\r\n  k = old \r\nj=2\r\n", "s", "k", "new",
                  "; note\r\n[s]\r\nk=new\r\nj=2\r\n"},
        WriteCase{"KeepsOtherLineBreaks", "[s]\nk=1\rj=2\n", "s", "k", "9", "[s]\nk=9\rj=2\n"},
        WriteCase{"ReplacesLastLineWithoutBreak", "[s]\r\nk=1", "s", "k", "22", "[s]\r\nk=22"},
        WriteCase{"MatchesCaseInsensitively", "[VERSION]\r\nVERSION=1\r\n", "Version", "Version",
                  "2", "[VERSION]\r\nVersion=2\r\n"},
        WriteCase{"NewKeyAfterLastFilledLine", "[s]\r\na=1\r\n\r\n[t]\r\nb=2\r\n", "s", "c", "3",
                  "[s]\r\na=1\r\nc=3\r\n\r\n[t]\r\nb=2\r\n"},
        WriteCase{"NewKeyIntoEmptySection", "[s]\r\n[t]\r\n", "s", "a", "1",
                  "[s]\r\na=1\r\n[t]\r\n"},
        WriteCase{"NewKeyAtEndWithoutBreak", "[s]\r\na=1", "s", "c", "3", "[s]\r\na=1\r\nc=3\r\n"},
        WriteCase{"NewKeyAfterLfLine", "[s]\na=1\n", "s", "c", "3", "[s]\na=1\nc=3\r\n"},
        WriteCase{"NewSectionAtEnd", "[s]\r\na=1\r\n", "t", "b", "2",
                  "[s]\r\na=1\r\n[t]\r\nb=2\r\n"},
        WriteCase{"NewSectionAfterMissingBreak", "[s]\r\na=1", "t", "b", "2",
                  "[s]\r\na=1\r\n[t]\r\nb=2\r\n"},
        WriteCase{"NewSectionAfterCrBreak", "[s]\ra=1\r", "t", "b", "2",
                  "[s]\ra=1\r[t]\r\nb=2\r\n"},
        WriteCase{"FirstOfDuplicateSections", "[s]\r\na=1\r\n[s]\r\nb=2\r\n", "s", "b", "3",
                  "[s]\r\na=1\r\nb=3\r\n[s]\r\nb=2\r\n"},
        WriteCase{"FirstOfDuplicateKeys", "[s]\r\na=1\r\na=2\r\n", "s", "a", "9",
                  "[s]\r\na=9\r\na=2\r\n"},
        WriteCase{"UnnamedKeysUntouched", "a=0\r\n[s]\r\n", "s", "a", "1", "a=0\r\n[s]\r\na=1\r\n"},
        WriteCase{"GbkValue", "[s]\r\n", "s", "k", "中文", "[s]\r\nk=\xD6\xD0\xCE\xC4\r\n"},
        WriteCase{"UndecodableBytesElsewhereKept", "\xFF\x80junk\r\n[s]\r\na=\x81\r\n", "s", "b",
                  "2", "\xFF\x80junk\r\n[s]\r\na=\x81\r\nb=2\r\n"},
        WriteCase{"QuotesKeepBlanks", "", "s", "k", " v ", "[s]\r\nk=\" v \"\r\n"},
        WriteCase{"QuotesKeepQuotes", "", "s", "k", "'v'", "[s]\r\nk=\"'v'\"\r\n"},
        WriteCase{"EmptyValue", "[s]\r\nk=1\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
        WriteCase{"Utf8FileStaysUtf8", "\xEF\xBB\xBF[s]\r\nk=1\r\n", "s", "k", "中😀",
                  "\xEF\xBB\xBF[s]\r\nk=\xE4\xB8\xAD\xF0\x9F\x98\x80\r\n"},
        WriteCase{"Utf16FileStaysUtf16", Utf16LeFile(u"[s]\r\nk=1\r\n"), "s", "j", "中",
                  Utf16LeFile(u"[s]\r\nk=1\r\nj=中\r\n")},
        WriteCase{"Utf16NewSection", Utf16LeFile(u"[s]\nk=1"), "t", "j", "2",
                  Utf16LeFile(u"[s]\nk=1\r\n[t]\r\nj=2\r\n")},
        WriteCase{"Utf16BomOnly", Utf16LeFile(u""), "t", "j", "2", Utf16LeFile(u"[t]\r\nj=2\r\n")}),
    [](const ::testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class ProfileWriteRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(ProfileWriteRefused, LeavesTheFileAsItWas) {
  const RefusedCase& c = GetParam();
  testing::TempDir dir;
  const auto file = dir.Write("Config.ini", c.before);
  EXPECT_FALSE(WriteProfileFile(file, c.section, c.key, c.value));
  EXPECT_EQ(ReadFileBytes(file), c.before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ProfileWriteRefused,
    ::testing::Values(RefusedCase{"EmptySection", "[s]\r\n", " ", "k", "v"},
                      RefusedCase{"EmptyKey", "[s]\r\n", "s", "", "v"},
                      RefusedCase{"LineBreakInValue", "[s]\r\n", "s", "k", "1\r\n[x]\r\ny=2"},
                      RefusedCase{"LineBreakInSection", "[s]\r\n", "s\nt", "k", "v"},
                      RefusedCase{"NulInValue", "[s]\r\n", "s", "k", "a\0b"s},
                      RefusedCase{"EqualsInKey", "[s]\r\n", "s", "a=b", "v"},
                      RefusedCase{"KeyLooksLikeHeader", "[s]\r\n", "s", "[t]", "v"},
                      RefusedCase{"NotInGbk", "[s]\r\nk=1\r\n", "s", "k", "😀"},
                      RefusedCase{"InvalidUtf8", "[s]\r\nk=1\r\n", "s", "k", "\xC0\x80"},
                      RefusedCase{"Utf16CutInsideUnit", "\xFF\xFE[\0s\0]\0\n"s, "s", "k", "1"}),
    [](const ::testing::TestParamInfo<RefusedCase>& info) { return std::string(info.param.name); });

TEST(ProfileWrite, MissingFolderFailsWithoutCreatingIt) {
  testing::TempDir dir;
  EXPECT_FALSE(WriteProfileFile(dir.path() / "skin" / "Config.ini", "s", "k", "v"));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "skin"));
}

TEST(ProfileWrite, AFolderInTheWayIsNotReplaced) {
  testing::TempDir dir;
  std::filesystem::create_directory(dir.path() / "Config.ini");
  EXPECT_FALSE(WriteProfileFile(dir.path() / "Config.ini", "s", "k", "v"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Config.ini"));
}

TEST(ProfileWrite, RepeatedWritesKeepOneLine) {
  testing::TempDir dir;
  const auto file = dir.path() / "Config.ini";
  for (const char* v : {"1.0", "1.1", "2.0"})
    ASSERT_TRUE(WriteProfileFile(file, "Version", "Version", v));
  EXPECT_EQ(ReadFileBytes(file), "[Version]\r\nVersion=2.0\r\n");
}

TEST(ProfileWrite, WrittenValuesReadBackInEveryEncoding) {
  const std::string values[] = {
      "", "a", " a", "a ", "\"a\"", "'", "''", "a=b", ";#", "中文", std::string(300, 'y')};
  for (const std::string& before : {""s, "\xEF\xBB\xBF"s, Utf16LeFile(u"")}) {
    std::string bytes = before;
    for (const auto& v : values) {
      auto next = ProfileWithValue(bytes, "s", "k", v);
      ASSERT_TRUE(next.has_value()) << v;
      bytes = *next;
      EXPECT_EQ(ReadProfileValue(bytes, "s", "k", "DEFAULT", 32767), v);
    }
  }
}

}  // namespace
}  // namespace kam
