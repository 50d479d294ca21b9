#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::payers {

// The locale whose collation orders the payer list: the first of LC_ALL, LC_COLLATE and LANG
// that is set, as a POSIX name such as "lt_LT.UTF-8". Empty when none is.
std::string collationLocaleFromEnvironment();

// Sorts whole lines (name, ";" and code together) in ascending order of the locale's collation,
// ignoring case but not accents. Lines that compare equal keep their order and duplicates all
// stay. "C", "POSIX" and the empty name use the root collation.
void sortPayerLines(std::vector<std::string>& lines, std::string_view posixLocaleName);

// Reads the payer list, sorts it in the user's collation and writes it back in the encoding it
// was read in. Errors are PayerFileError.
void sortPayerFile(const std::filesystem::path& file);

}  // namespace kvd507::payers
