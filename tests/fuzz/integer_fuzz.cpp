// Fuzzes the integer reader against a slow, obviously right model of its rules.
#include "settings/SettingsStore.h"

#include <cstdint>
#include <cstdlib>
#include <string>

static bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

static bool AllOf(std::string_view s, bool (*pred)(char)) {
  if (s.empty())
    return false;
  for (char c : s)
    if (!pred(c))
      return false;
  return true;
}

static bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Value of a digit string if it is at most `limit`, else -1.
static long long ValueUpTo(std::string_view digits, int base, long long limit) {
  long long v = 0;
  for (char c : digits) {
    const int d = IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
    v = v * base + d;
    if (v > limit)
      return -1;
  }
  return v;
}

static std::int32_t Model(std::string_view s, std::int32_t def) {
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    const auto digits = s.substr(2);
    const long long v = AllOf(digits, IsHex) ? ValueUpTo(digits, 16, 0xFFFFFFFFLL) : -1;
    return v < 0 ? def : static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
  }
  while (!s.empty() && s[0] == ' ')
    s.remove_prefix(1);
  if (!s.empty() && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) {
    const auto digits = s.substr(1);
    const long long v = AllOf(digits, IsHex) ? ValueUpTo(digits, 16, 0xFFFFFFFFLL) : -1;
    return v < 0 ? def : static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
  }
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (!AllOf(s, IsDigit))
    return def;
  const long long v = ValueUpTo(s, 10, negative ? 2147483648LL : 2147483647LL);
  return v < 0 ? def : static_cast<std::int32_t>(negative ? -v : v);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  for (std::int32_t def : {0, -1, 164}) {
    if (ParseIniInteger(text, def) != Model(text, def))
      std::abort();
  }
  // Every value the program writes reads back as itself.
  if (size >= 4) {
    std::int32_t n;
    __builtin_memcpy(&n, data, 4);
    if (ParseIniInteger(std::to_string(n), 99) != n)
      std::abort();
  }
  return 0;
}
