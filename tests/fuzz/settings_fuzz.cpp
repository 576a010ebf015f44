// Fuzzes the settings loader: any bytes load, every lookup answers, writes
// keep the store consistent, and what is saved loads back to the same bytes.
#include "settings/SettingsStore.h"

#include <cstdint>
#include <cstdlib>
#include <string>

static MemIniFile Store(std::string_view text) {
  MemIniFile f("/nonexistent/vellora-fuzz/none.ini"); // never read or written
  f.SetText(text);
  return f;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char *>(data), size);
  MemIniFile f = Store(text);

  // The names the program reads and writes, plus names taken from the input.
  const std::string_view sections[] = {"window", "WINDOW", "dev", "Dev", "", text.substr(0, 8)};
  const std::string_view keys[] = {"height", "Left", "Dev_num", "gakki", "map", text.substr(0, 4)};
  for (auto s : sections)
    for (auto k : keys) {
      const std::string value = f.ReadString(s, k, "default");
      const std::int32_t n = f.ReadInteger(s, k, 7);
      if (value == "default" && n != 7 && f.ReadString(s, k, "other") == "other")
        std::abort(); // a missing entry must give the default
    }

  const std::string saved = f.Text();
  if (Store(saved).Text() != saved)
    std::abort(); // saving is a fixed point after one load

  f.WriteInteger("window", "Height", static_cast<std::int32_t>(size));
  f.WriteString("dev", "gakki", text.substr(0, 16));
  f.WriteInteger(text.substr(0, 3), "map", -1);
  if (f.ReadInteger("window", "height", 0) != static_cast<std::int32_t>(size))
    std::abort(); // a write is found by the next lookup
  if (f.ReadInteger(text.substr(0, 3), "MAP", 0) != -1)
    std::abort();
  const std::string rewritten = f.Text();
  (void)Store(rewritten).Text();
  return 0;
}
