#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

namespace {

MemIniFile Parse(std::string_view text) {
  MemIniFile f("/nonexistent/vellora-test/none.ini");
  f.SetText(text);
  return f;
}

TEST(SettingsStore, MissingFileGivesEmptyStoreAndDefaults) {
  MemIniFile f("/nonexistent/vellora-test/none.ini");
  EXPECT_EQ(f.LoadResult(), platform::ReadResult::Missing);
  EXPECT_TRUE(f.Sections().empty());
  EXPECT_EQ(f.ReadInteger("window", "height", 164), 164);
  EXPECT_EQ(f.ReadString("dev", "gakki", "none"), "none");
  EXPECT_EQ(f.Text(), "");
}

struct LoadCase {
  const char *name;
  std::string input;
  std::string saved; // what the store writes back
};

void PrintTo(const LoadCase &c, std::ostream *os) {
  *os << '"' << c.name << '"';
}

class Loading : public ::testing::TestWithParam<LoadCase> {};

TEST_P(Loading, NormalisesAsItReads) {
  EXPECT_EQ(Parse(GetParam().input).Text(), GetParam().saved);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Loading,
    ::testing::Values(
        LoadCase{"crlf", "[a]\r\nk=v\r\n", "[a]\r\nk=v\r\n\r\n"},
        LoadCase{"lf_and_cr", "[a]\nk=v\rj=w\n\r\n", "[a]\r\nk=v\r\nj=w\r\n\r\n"},
        LoadCase{"no_final_newline", "[a]\nk=v", "[a]\r\nk=v\r\n\r\n"},
        LoadCase{"trims_blanks_and_controls", "  [ a ]  \n\t k \t=\t v w \x01\n",
                 "[a]\r\nk=v w\r\n\r\n"},
        LoadCase{"first_equals_splits", "[a]\nk = v = w\n", "[a]\r\nk=v = w\r\n\r\n"},
        LoadCase{"comments_and_blank_lines_dropped", "[a]\n; note\n\n   \nk=v\n;x=y\n",
                 "[a]\r\nk=v\r\n\r\n"},
        LoadCase{"lines_before_first_section_dropped", "k=v\nfree\n[a]\nj=w\n",
                 "[a]\r\nj=w\r\n\r\n"},
        LoadCase{"line_without_equals_kept", "[a]\n  just text  \n", "[a]\r\njust text\r\n\r\n"},
        LoadCase{"repeated_section_kept_twice", "[a]\nk=1\n[A]\nk=2\n",
                 "[a]\r\nk=1\r\n\r\n[A]\r\nk=2\r\n\r\n"},
        LoadCase{"empty_section", "[a]\n[b]\n", "[a]\r\n\r\n[b]\r\n\r\n"},
        LoadCase{"nul_ends_text", std::string("[a]\nk=v\n\0[b]\nj=w\n", 17), "[a]\r\nk=v\r\n\r\n"},
        LoadCase{"bracket_not_closed_is_a_line", "[a]\n[b\n", "[a]\r\n[b\r\n\r\n"},
        LoadCase{"byte_order_mark_hides_first_header",
                 "\xEF\xBB\xBF[window]\nLeft=5\n[dev]\nmap=1\n", "[dev]\r\nmap=1\r\n\r\n"},
        LoadCase{"non_ascii_bytes_kept", "[a]\nk=\x82\xA0 \xE9\n",
                 "[a]\r\nk=\x82\xA0 \xE9\r\n\r\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SettingsStore, LookupsIgnoreCaseAndFindTheLastOccurrence) {
  MemIniFile f = Parse("[Window]\nLeft=1\nleft=2\n[dev]\nDev_num=3\n[DEV]\ngakki=x\n");
  EXPECT_EQ(f.ReadInteger("window", "LEFT", 0), 2);
  // The later "DEV" section hides the earlier "dev" one.
  EXPECT_EQ(f.ReadInteger("Dev", "dev_num", -9), -9);
  EXPECT_EQ(f.ReadString("dev", "GAKKI", "none"), "x");
  EXPECT_EQ(f.ReadString("dev", "missing", "d"), "d");
  EXPECT_EQ(f.ReadString("nosuch", "gakki", "d"), "d");
}

TEST(SettingsStore, LinesWithoutEqualsAreNotKeys) {
  MemIniFile f = Parse("[a]\ngakki\n");
  EXPECT_EQ(f.ReadString("a", "gakki", "d"), "d");
}

TEST(SettingsStore, EmptyValueIsFoundAndIsNotAnInteger) {
  MemIniFile f = Parse("[dev]\ngakki=\nmap=\n");
  EXPECT_EQ(f.ReadString("dev", "gakki", "none"), "");
  EXPECT_EQ(f.ReadInteger("dev", "map", 4), 4);
}

TEST(SettingsStore, WritesReplaceTheLineALookupFindsOrAppend) {
  MemIniFile f = Parse("[WINDOW]\nLEFT=0x20\nother = kept\nleft=5\n[x]\ny=z\n");
  f.WriteInteger("window", "Left", -7);
  f.WriteInteger("window", "Top", 100);
  f.WriteString("dev", "gakki", "Synth ");
  f.WriteInteger("dev", "map", 4);
  EXPECT_EQ(f.Text(), "[WINDOW]\r\nLEFT=0x20\r\nother=kept\r\nLeft=-7\r\nTop=100\r\n\r\n"
                      "[x]\r\ny=z\r\n\r\n"
                      "[dev]\r\ngakki=Synth \r\nmap=4\r\n\r\n");
  EXPECT_EQ(f.ReadInteger("Window", "left", 0), -7);
  EXPECT_EQ(f.ReadString("DEV", "Gakki", ""), "Synth ");
}

TEST(SettingsStore, AValueWrittenWithATrailingSpaceReadsBackWithout) {
  MemIniFile f = Parse("");
  f.WriteString("dev", "gakki", "Synth ");
  MemIniFile g = Parse(f.Text());
  EXPECT_EQ(g.ReadString("dev", "gakki", "none"), "Synth");
}

} // namespace
