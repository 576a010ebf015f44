#include "settings/SettingsStore.h"

#include <optional>

std::unique_ptr<MemIniFile> SettingsStore;
std::int32_t MapSetting = 0;

namespace {

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front()))
    s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back()))
    s.remove_suffix(1);
  return s;
}

char Fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i]))
      return false;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty())
    return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    int d = HexDigit(c);
    if (d < 0)
      return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(d);
    if (value > 0xFFFFFFFFu)
      return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseDecimal(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty())
    return std::nullopt;
  std::int64_t value = 0;
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  for (char c : s) {
    if (c < '0' || c > '9')
      return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > limit)
      return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -value : value);
}

} // namespace

std::int32_t ParseIniInteger(std::string_view text, std::int32_t def) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
    return ParseHex(text.substr(2)).value_or(def);
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  if (!text.empty() && (text.front() == '$' || text.front() == 'x' || text.front() == 'X'))
    return ParseHex(text.substr(1)).value_or(def);
  return ParseDecimal(text).value_or(def);
}

MemIniFile::MemIniFile(std::string fileName) : fileName_(std::move(fileName)) {
  std::string bytes;
  loadResult_ = platform::ReadWholeFile(fileName_, bytes);
  if (loadResult_ == platform::ReadResult::Ok)
    SetText(bytes);
}

void MemIniFile::SetText(std::string_view text) {
  sections_.clear();
  text = text.substr(0, text.find('\0'));
  Section *current = nullptr;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos)
      end = text.size();
    std::string_view line = Trim(text.substr(pos, end - pos));
    pos = end + 1;
    if (end < text.size() && text[end] == '\r' && pos < text.size() && text[pos] == '\n')
      ++pos;

    if (line.empty() || line.front() == ';')
      continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      sections_.push_back(Section{std::string(Trim(line.substr(1, line.size() - 2))), {}});
      current = &sections_.back();
      continue;
    }
    if (current == nullptr)
      continue;
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      current->lines.emplace_back(line);
    } else {
      std::string entry(Trim(line.substr(0, eq)));
      entry += '=';
      entry += Trim(line.substr(eq + 1));
      current->lines.push_back(std::move(entry));
    }
  }
}

std::string MemIniFile::Text() const {
  std::string out;
  for (const auto &s : sections_) {
    out += '[';
    out += s.name;
    out += "]\r\n";
    for (const auto &line : s.lines) {
      out += line;
      out += "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

// The last section of that name, as repeated names are allowed.
const MemIniFile::Section *MemIniFile::FindSection(std::string_view name) const {
  for (auto it = sections_.rbegin(); it != sections_.rend(); ++it)
    if (SameName(it->name, name))
      return &*it;
  return nullptr;
}

MemIniFile::Section *MemIniFile::FindSection(std::string_view name) {
  return const_cast<Section *>(static_cast<const MemIniFile *>(this)->FindSection(name));
}

std::ptrdiff_t MemIniFile::FindLine(const Section &s, std::string_view key) {
  for (std::size_t i = s.lines.size(); i-- > 0;) {
    std::string_view line = s.lines[i];
    std::size_t eq = line.find('=');
    if (eq != std::string_view::npos && SameName(line.substr(0, eq), key))
      return static_cast<std::ptrdiff_t>(i);
  }
  return -1;
}

std::string MemIniFile::ReadString(std::string_view section, std::string_view key,
                                   const std::string &def) const {
  const Section *s = FindSection(section);
  if (s == nullptr)
    return def;
  std::ptrdiff_t i = FindLine(*s, key);
  if (i < 0)
    return def;
  const std::string &line = s->lines[static_cast<std::size_t>(i)];
  return line.substr(line.find('=') + 1);
}

std::int32_t MemIniFile::ReadInteger(std::string_view section, std::string_view key,
                                     std::int32_t def) const {
  return ParseIniInteger(ReadString(section, key, std::string()), def);
}

void MemIniFile::WriteString(std::string_view section, std::string_view key,
                             std::string_view value) {
  Section *s = FindSection(section);
  if (s == nullptr) {
    sections_.push_back(Section{std::string(section), {}});
    s = &sections_.back();
  }
  std::string line(key);
  line += '=';
  line += value;
  std::ptrdiff_t i = FindLine(*s, key);
  if (i >= 0)
    s->lines[static_cast<std::size_t>(i)] = std::move(line);
  else
    s->lines.push_back(std::move(line));
}

void MemIniFile::WriteInteger(std::string_view section, std::string_view key, std::int32_t value) {
  WriteString(section, key, std::to_string(value));
}

bool MemIniFile::UpdateFile() const {
  return platform::ReplaceFileContents(fileName_, Text());
}
