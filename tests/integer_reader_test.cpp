#include "settings/SettingsStore.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char *text;
  std::int32_t expected; // with default 77
};

void PrintTo(const Case &c, std::ostream *os) {
  *os << '"' << c.text << '"';
}

class IntegerReader : public ::testing::TestWithParam<Case> {};

TEST_P(IntegerReader, ParsesOrFallsBack) {
  const Case &c = GetParam();
  EXPECT_EQ(ParseIniInteger(c.text, 77), c.expected) << '"' << c.text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Table, IntegerReader,
    ::testing::Values(
        // decimal
        Case{"0", 0}, Case{"164", 164}, Case{"+5", 5}, Case{"-5", -5}, Case{"007", 7},
        Case{"   42", 42}, Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483647 - 1},
        Case{"2147483648", 77}, Case{"-2147483649", 77}, Case{"99999999999999999999", 77},
        // hexadecimal after 0x (longer than two characters)
        Case{"0x20", 32}, Case{"0X20", 32}, Case{"0xff", 255}, Case{"0xFFFFFFFF", -1},
        Case{"0x80000000", -2147483647 - 1}, Case{"0x100000000", 77}, Case{"0x", 77},
        Case{"0xg", 77}, Case{"0x 1", 77}, Case{"0x-1", 77}, Case{"0x000000001", 1},
        // $, x and X prefixes, after leading spaces
        Case{"$FFFFFFFF", -1}, Case{"$10", 16}, Case{"x1f", 31}, Case{"X1F", 31}, Case{"  $a", 10},
        Case{"$", 77}, Case{"x", 77}, Case{"$1FFFFFFFF", 77},
        // a sign before a hexadecimal prefix, and other junk
        Case{"-$10", 77}, Case{"+x10", 77}, Case{"-0x10", 77}, Case{" 0x10", 77}, Case{"", 77},
        Case{" ", 77}, Case{"abc", 77}, Case{"12abc", 77}, Case{"12 ", 77}, Case{"1.5", 77},
        Case{"+", 77}, Case{"-", 77}, Case{"--1", 77}, Case{"\t5", 77}));

} // namespace
