#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "payers/PayerLine.h"
#include "payers/TextEncoding.h"

namespace kvd507::payers {

// How a change of the list moves the stored selection.
struct SelectionChange {
  int positionBefore = -1;      // the stored position before the change, as resolved
  std::optional<Payer> before;  // the payer it named before the change; none when none
  std::optional<Payer> after;   // the payer it names after the change; none when none
};

// Puts the changed payer list (`lines`, sorted already) in place in the program folder together
// with the stored selection, so that whatever stops the change (a failure, a full disk, the
// program killed) the two files name the same payer: the old pair's or the new pair's.
//
// Both files are prepared before either is replaced: a file that cannot be written (marked
// read-only, unreadable, a list past what can be read back) fails the change with nothing
// replaced. The settings are written only when the selection moves or changes its payer, and
// then in two steps around the list: first the new position with the new payer's line and the
// old one's, then the list, then the settings without the old line. Between the steps the
// settings name the payer by its line in either list (StoredPosition.h).
//
// Throws PayerFileError or SettingsError, naming the file that failed.
void replacePayerList(const std::filesystem::path& programFolder,
                      const std::vector<std::string>& lines, TextEncoding encoding,
                      const SelectionChange& selection);

// The line that holds `payer`: name, and ";" and the code when it has one.
std::string lineOf(const Payer& payer);

}  // namespace kvd507::payers
