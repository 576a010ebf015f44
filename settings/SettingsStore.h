// The settings file beside the executable: sections of key=value lines, read
// whole at start, looked up ignoring letter case, written back whole at exit.
#pragma once

#include "platform/FileIO.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class MemIniFile {
public:
  struct Section {
    std::string name;
    std::vector<std::string> lines; // "key=value", or a line without "="
  };

  // Opens the store on a file and loads it if it exists.
  explicit MemIniFile(std::string fileName);

  const std::string &FileName() const { return fileName_; }
  platform::ReadResult LoadResult() const { return loadResult_; }
  const std::vector<Section> &Sections() const { return sections_; }

  // Replaces the store's contents with the parsed text.
  void SetText(std::string_view text);
  // The file's bytes as UpdateFile writes them.
  std::string Text() const;

  std::string ReadString(std::string_view section, std::string_view key,
                         const std::string &def) const;
  std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t def) const;
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int32_t value);

  // Writes the whole store to the file; false when it cannot be written.
  bool UpdateFile() const;

private:
  const Section *FindSection(std::string_view name) const;
  Section *FindSection(std::string_view name);
  static std::ptrdiff_t FindLine(const Section &s, std::string_view key);

  std::string fileName_;
  platform::ReadResult loadResult_ = platform::ReadResult::Missing;
  std::vector<Section> sections_;
};

// Reads a stored integer: decimal with an optional sign, or hexadecimal after
// "0x", "$" or "x" as a 32-bit pattern; anything else gives def.
std::int32_t ParseIniInteger(std::string_view text, std::int32_t def);

// The program's one settings store, from the keyboard window's creation to
// the end of its close, and the "map" value it carries through unchanged.
extern std::unique_ptr<MemIniFile> SettingsStore;
extern std::int32_t MapSetting;
