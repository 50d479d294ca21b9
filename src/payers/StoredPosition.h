#pragma once

#include <filesystem>
#include <string_view>

namespace kvd507::payers {

// Where the selected payer's position survives between starts, in the program folder.
inline constexpr const char* kSettingsFileName = "_nustatymai.ini";
inline constexpr const char* kSettingsSection = "NUSTATYMAI";
inline constexpr const char* kPositionKey = "asmuo";

// The stored text as a position: an optional sign and decimal digits that fit an int. Anything
// else, the empty text included, gives 0, the first payer.
int parsePosition(std::string_view text);

// The stored position; 0 when the settings file, its section or its key is missing.
int readStoredPosition(const std::filesystem::path& programFolder);

// Stores the position as decimal text; -1 means that nothing is selected.
void writeStoredPosition(const std::filesystem::path& programFolder, int position);

}  // namespace kvd507::payers
