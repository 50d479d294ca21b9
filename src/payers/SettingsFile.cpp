#include "payers/SettingsFile.h"

#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "files/IoError.h"
#include "files/WholeFile.h"
#include "payers/SettingsError.h"
#include "payers/TextEncoding.h"

namespace kvd507::payers {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreak = "\r\n";

struct RawLine {
  std::string text;
  std::string lineBreak;  // as found; empty on a last line without one
};

std::string_view trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

char lowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
  }
  return true;
}

std::vector<RawLine> splitRawLines(std::string_view bytes) {
  std::vector<RawLine> lines;
  while (!bytes.empty()) {
    std::size_t end = bytes.find_first_of("\r\n");
    if (end == std::string_view::npos) end = bytes.size();
    RawLine line{std::string(bytes.substr(0, end)), {}};
    std::size_t next = end;
    if (next < bytes.size() && bytes[next] == '\r') ++next;
    if (next < bytes.size() && bytes[next] == '\n') ++next;
    line.lineBreak = bytes.substr(end, next - end);
    lines.push_back(std::move(line));
    bytes.remove_prefix(next);
  }
  return lines;
}

std::string joinRawLines(const std::vector<RawLine>& lines) {
  std::string bytes;
  for (const RawLine& line : lines) bytes += line.text + line.lineBreak;
  return bytes;
}

// The text of a line without a UTF-8 mark that an editor may have put at the start of the file.
std::string_view content(const std::vector<RawLine>& lines, std::size_t index) {
  std::string_view text = lines[index].text;
  if (index == 0 && text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  return text;
}

std::optional<std::string_view> sectionName(std::string_view line) {
  line = trimSpaces(line);
  if (!line.starts_with('[')) return std::nullopt;
  line.remove_prefix(1);
  return trimSpaces(line.substr(0, line.find(']')));
}

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

std::optional<KeyValue> keyValue(std::string_view line) {
  const std::size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return KeyValue{trimSpaces(line.substr(0, equals)), trimSpaces(line.substr(equals + 1))};
}

// Where a section's lines are: from its header to the line before the next header.
struct SectionRange {
  std::size_t header;
  std::size_t end;
};

std::optional<SectionRange> findSection(const std::vector<RawLine>& lines,
                                        std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string_view> name = sectionName(content(lines, i));
    if (!name || !sameName(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !sectionName(content(lines, end))) ++end;
    return SectionRange{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> findKey(const std::vector<RawLine>& lines, SectionRange range,
                                   std::string_view key) {
  for (std::size_t i = range.header + 1; i < range.end; ++i) {
    const std::optional<KeyValue> entry = keyValue(content(lines, i));
    if (entry && sameName(entry->key, key)) return i;
  }
  return std::nullopt;
}

// A new key goes after the section's last non-blank line, so blank lines that separate it from
// the next section stay between them.
std::size_t insertionPoint(const std::vector<RawLine>& lines, SectionRange range) {
  std::size_t point = range.end;
  while (point > range.header + 1 && trimSpaces(content(lines, point - 1)).empty()) --point;
  return point;
}

// New lines end the way the file's lines already do, so that an editor sees one kind of break.
std::string lineBreakOf(const std::vector<RawLine>& lines) {
  for (const RawLine& line : lines) {
    if (!line.lineBreak.empty()) return line.lineBreak;
  }
  return std::string(kLineBreak);
}

// The file's text and how its bytes hold it. Windows writes an initialization file in UTF-16
// when it was made so, with a byte-order mark; anything else is taken byte for byte, its keys
// and values being ASCII.
struct SettingsText {
  std::string text;  // UTF-8 for a UTF-16 file, the bytes otherwise
  std::optional<TextEncoding> wide;
};

SettingsText decodeSettings(const std::filesystem::path& file, std::string bytes) {
  if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
    DecodedText decoded = decodeText(bytes);
    return {std::move(decoded.text), decoded.encoding};
  }
  // UTF-16 without a mark cannot be told from other bytes with certainty; read byte for byte
  // it would give no key, and a write would add ASCII lines to it.
  if (bytes.find('\0') != std::string::npos) {
    throw SettingsError(FileAction::kRead, Error(ErrorKind::kSettingsNotText, {file.string()}));
  }
  return {std::move(bytes), std::nullopt};
}

std::string encodeSettings(const SettingsText& settings) {
  if (!settings.wide) return settings.text;
  return std::string(byteOrderMark(*settings.wide)) + encodeText(settings.text, *settings.wide);
}

// The file's text; an empty one when the file is missing.
SettingsText readSettings(const std::filesystem::path& file) {
  std::string bytes;
  try {
    bytes = files::readWholeFile(file, kLargestSettingsFile);
  } catch (const files::IoError& e) {
    if (e.code() != std::errc::no_such_file_or_directory) throw SettingsError(FileAction::kRead, e);
  }
  return decodeSettings(file, std::move(bytes));
}

void insertLine(std::vector<RawLine>& lines, std::size_t at, std::string text) {
  const std::string lineBreak = lineBreakOf(lines);
  if (at > 0 && lines[at - 1].lineBreak.empty()) lines[at - 1].lineBreak = lineBreak;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
               RawLine{std::move(text), lineBreak});
}

}  // namespace

SettingsFile::SettingsFile(std::filesystem::path file) : file_(std::move(file)) {}

std::string SettingsFile::read(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
  const SettingsText settings = readSettings(file_);
  const std::vector<RawLine> lines = splitRawLines(settings.text);
  const std::optional<SectionRange> range = findSection(lines, section);
  if (!range) return std::string(fallback);
  const std::optional<std::size_t> line = findKey(lines, *range, key);
  if (!line) return std::string(fallback);
  return std::string(keyValue(content(lines, *line))->value);
}

std::string SettingsFile::prepare(std::string_view section,
                                  const std::vector<SettingChange>& changes) const {
  SettingsText settings = readSettings(file_);
  // Replacing needs only the folder's permission; a file marked read-only is kept as it is.
  if (files::isReadOnly(file_)) {
    throw SettingsError(FileAction::kWrite,
                        Error(ErrorKind::kReadOnlyProgramFile, {file_.string()}));
  }
  std::vector<RawLine> lines = splitRawLines(settings.text);
  for (const SettingChange& change : changes) {
    const std::optional<SectionRange> range = findSection(lines, section);
    // The key's line, or lines.size() when the key is not there. (A plain index: GCC's
    // optimiser took an optional index here for one that may be read unset.)
    std::size_t line = lines.size();
    if (range) line = findKey(lines, *range, change.key).value_or(lines.size());
    const bool found = line < lines.size();
    if (!change.value) {
      if (found) lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line));
      continue;
    }
    std::string entry = change.key + "=" + *change.value;
    if (found) {
      lines[line].text = std::move(entry);
    } else if (range) {
      insertLine(lines, insertionPoint(lines, *range), std::move(entry));
    } else {
      insertLine(lines, lines.size(), "[" + std::string(section) + "]");
      insertLine(lines, lines.size(), std::move(entry));
    }
  }
  settings.text = joinRawLines(lines);
  try {
    return encodeSettings(settings);
  } catch (Error& e) {
    throw SettingsError(FileAction::kWrite, e.setFile(file_.string()));
  }
}

void SettingsFile::write(std::string_view section, std::string_view key,
                         std::string_view value) const {
  writeChanges(section, {{std::string(key), std::string(value)}});
}

void SettingsFile::writeChanges(std::string_view section,
                                const std::vector<SettingChange>& changes) const {
  const std::string bytes = prepare(section, changes);
  try {
    files::replaceFileAtomically(file_, bytes, files::Permissions::kKeepExisting);
  } catch (const files::IoError& e) {
    throw SettingsError(FileAction::kWrite, e);
  }
}

}  // namespace kvd507::payers
