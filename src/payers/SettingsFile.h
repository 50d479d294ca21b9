#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::payers {

// The settings file holds one key; a file far beyond a few lines is not ours.
inline constexpr std::size_t kLargestSettingsFile = std::size_t{1} << 20;

// An initialization file of "[section]" headers and "key=value" lines, read and written the way
// Windows' private-profile service does it: section and key names match without regard to case
// (ASCII letters), values lose the spaces and tabs around them, and the first matching section
// and key count. Lines that are neither, comments included, are kept as they are.
// A file that starts with a UTF-16 byte-order mark is read and written in UTF-16; one that holds
// NUL bytes without it is refused rather than misread. Errors are SettingsError, naming the file
// and the cause; a file over kLargestSettingsFile is refused.
// One key to set, or to remove when it has no value.
struct SettingChange {
  std::string key;
  std::optional<std::string> value;
};

class SettingsFile {
 public:
  explicit SettingsFile(std::filesystem::path file);

  const std::filesystem::path& file() const { return file_; }

  // The key's value; the fallback when the file, the section or the key is missing. A file that
  // exists but cannot be read is an error rather than a silent fallback.
  std::string read(std::string_view section, std::string_view key, std::string_view fallback) const;

  // Sets the key, creating the file, the section and the key when they are missing. Every other
  // line stays as it was, line ends included; new lines end like the file's other lines, or in
  // CR LF when there are none. The file is replaced as a whole, so a failed write leaves the old
  // settings.
  void write(std::string_view section, std::string_view key, std::string_view value) const;

  // Makes the changes in order and replaces the file once, as write() does.
  void writeChanges(std::string_view section, const std::vector<SettingChange>& changes) const;

  // The file's bytes with the changes made, in order, as write() would make them; the file is
  // not written. Refuses a file marked read-only, as write() does.
  std::string prepare(std::string_view section, const std::vector<SettingChange>& changes) const;

 private:
  std::filesystem::path file_;
};

}  // namespace kvd507::payers
