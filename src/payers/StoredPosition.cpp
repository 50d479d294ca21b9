#include "payers/StoredPosition.h"

#include <charconv>
#include <string>
#include <system_error>

#include "payers/PayerFile.h"
#include "payers/PayerLine.h"
#include "text/Hex.h"

namespace kvd507::payers {
namespace {

// A payer's line as a settings value: ASCII without spaces at its ends, whatever the line holds
// and whatever the settings file's encoding; "%" and every other byte outside printable ASCII
// become "%XX".
std::string escapeLine(std::string_view line) {
  std::string value;
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x7F && c != '%') {
      value += c;
    } else {
      text::appendPercentEscape(value, byte);
    }
  }
  return value;
}

std::optional<std::string> readLine(const SettingsFile& settings, const char* key) {
  // A control character cannot be in a value, so it tells a missing key from any stored one.
  const std::string value = settings.read(kSettingsSection, key, "\x01");
  if (value == "\x01") return std::nullopt;
  return text::percentDecoded(value);
}

// The first line holding the payer of `line`, the one at `hint` first; -1 when none does.
int positionOf(const std::vector<std::string>& lines, const std::string& line, int hint) {
  const Payer payer = splitPayerLine(line).value_or(Payer{});
  const auto holds = [&](std::size_t i) {
    return splitPayerLine(lines[i]).value_or(Payer{}) == payer;
  };
  if (hint >= 0 && static_cast<std::size_t>(hint) < lines.size() &&
      holds(static_cast<std::size_t>(hint))) {
    return hint;
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (holds(i)) return static_cast<int>(i);
  }
  return -1;
}

std::vector<std::string> listLines(const std::filesystem::path& programFolder) {
  const std::filesystem::path file = programFolder / kPayerFileName;
  std::error_code error;
  if (!std::filesystem::exists(file, error) && !error) return {};
  return PayerFile::read(file).lines();
}

}  // namespace

int parsePosition(std::string_view text) {
  // from_chars takes a minus sign but no plus sign.
  if (text.starts_with('+')) {
    text.remove_prefix(1);
    if (text.starts_with('-')) return 0;
  }
  int position = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), position);
  if (error != std::errc() || end != text.data() + text.size()) return 0;
  return position;
}

StoredSelection readStoredSelection(const std::filesystem::path& programFolder) {
  const SettingsFile settings(programFolder / kSettingsFileName);
  StoredSelection selection;
  selection.position = parsePosition(settings.read(kSettingsSection, kPositionKey, ""));
  selection.line = readLine(settings, kPayerLineKey);
  selection.previous = readLine(settings, kPreviousPayerLineKey);
  return selection;
}

int resolveSelection(const StoredSelection& selection, const std::vector<std::string>& lines) {
  if (!selection.line && !selection.previous) return selection.position;
  for (const auto& line : {selection.line, selection.previous}) {
    if (!line) continue;
    const int position = positionOf(lines, *line, selection.position);
    if (position >= 0) return position;
  }
  return -1;
}

std::vector<SettingChange> selectionChanges(const StoredSelection& selection) {
  const auto value = [](const std::optional<std::string>& line) -> std::optional<std::string> {
    if (!line) return std::nullopt;
    return escapeLine(*line);
  };
  return {{kPositionKey, std::to_string(selection.position)},
          {kPayerLineKey, value(selection.line)},
          {kPreviousPayerLineKey, value(selection.previous)}};
}

int readStoredPosition(const std::filesystem::path& programFolder) {
  const StoredSelection selection = readStoredSelection(programFolder);
  if (!selection.line && !selection.previous) return selection.position;
  return resolveSelection(selection, listLines(programFolder));
}

void writeStoredPosition(const std::filesystem::path& programFolder, int position) {
  StoredSelection selection;
  selection.position = position;
  if (position >= 0) {
    const std::vector<std::string> lines = listLines(programFolder);
    if (static_cast<std::size_t>(position) < lines.size()) {
      selection.line = lines[static_cast<std::size_t>(position)];
    }
  }
  const SettingsFile settings(programFolder / kSettingsFileName);
  settings.writeChanges(kSettingsSection, selectionChanges(selection));
}

}  // namespace kvd507::payers
