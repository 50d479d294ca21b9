#include "payers/StoredPosition.h"

#include <charconv>
#include <string>

#include "payers/SettingsFile.h"

namespace kvd507::payers {

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

int readStoredPosition(const std::filesystem::path& programFolder) {
  const SettingsFile settings(programFolder / kSettingsFileName);
  return parsePosition(settings.read(kSettingsSection, kPositionKey, ""));
}

void writeStoredPosition(const std::filesystem::path& programFolder, int position) {
  const SettingsFile settings(programFolder / kSettingsFileName);
  settings.write(kSettingsSection, kPositionKey, std::to_string(position));
}

}  // namespace kvd507::payers
