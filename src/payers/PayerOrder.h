#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvd507::payers {

// The locale whose collation orders the payer list: the first of LC_ALL, LC_COLLATE and LANG
// that is set, as a POSIX name such as "lt_LT.UTF-8". Empty when none is.
std::string collationLocaleFromEnvironment();

// Sorts whole lines (name, ";" and code together) in ascending order of the locale's collation,
// ignoring case but not accents. Lines that compare equal keep their order and duplicates all
// stay. A name that gives no language ("C", "POSIX", empty) orders the Lithuanian way: the
// lists come from Lithuanian offices, where č follows c and š follows s.
void sortPayerLines(std::vector<std::string>& lines, std::string_view posixLocaleName);

}  // namespace kvd507::payers
