#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payers/SettingsFile.h"

namespace kvd507::payers {

// Where the selected payer's position survives between starts, in the program folder.
inline constexpr const char* kSettingsFileName = "_nustatymai.ini";
inline constexpr const char* kSettingsSection = "NUSTATYMAI";
inline constexpr const char* kPositionKey = "asmuo";
// Beside the position, the selected payer's line, so that the selection stays with the payer
// when the list changes under it; and, only while a change of the list is being put in place,
// the line the selection named before it. Programs that know only "asmuo" read the position.
inline constexpr const char* kPayerLineKey = "asmuo_eilute";
inline constexpr const char* kPreviousPayerLineKey = "asmuo_buvusi_eilute";

// The stored text as a position: an optional sign and decimal digits that fit an int. Anything
// else, the empty text included, gives 0, the first payer.
int parsePosition(std::string_view text);

// What the settings file says of the selection.
struct StoredSelection {
  int position = 0;
  std::optional<std::string> line;      // the payer's line (name;code), when stored with it
  std::optional<std::string> previous;  // the line before a change of the list, during it
};

StoredSelection readStoredSelection(const std::filesystem::path& programFolder);

// The position the selection names among the list's `lines`. Without a stored line, the stored
// position. With one, the position of the payer it holds (the stored position when that line
// holds it, else the first line that does), then of the previous line's payer; -1 when the list
// holds neither payer any more.
int resolveSelection(const StoredSelection& selection, const std::vector<std::string>& lines);

// The settings changes that store `selection`: the position and the lines it has, removing the
// keys it has not.
std::vector<SettingChange> selectionChanges(const StoredSelection& selection);

// The stored selection applied to the payer list in the folder as it is now; 0 when the
// settings file, its section or its key is missing.
int readStoredPosition(const std::filesystem::path& programFolder);

// Stores the position as decimal text, -1 meaning that nothing is selected, with the line of
// the payer the list holds there.
void writeStoredPosition(const std::filesystem::path& programFolder, int position);

}  // namespace kvd507::payers
