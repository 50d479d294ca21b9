#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payers/PayerLine.h"

namespace kvd507::payers {

// What the payer selector shows after a load: one entry per payer line in file order, and the
// entry at the asked position selected when there is one.
struct LoadedPayers {
  std::vector<Payer> payers;
  int selected = -1;  // -1: nothing selected

  // The selected payer's code, "lb_kodas" when its line has none; none when nothing is selected,
  // and the window's code then keeps whatever it held.
  std::optional<std::string> selectedCode() const;
  // The selected payer's name; empty when nothing is selected.
  std::string selectedName() const;
};

// The payer list "asmenys.txt" and the stored selection in "_nustatymai.ini" of one program
// folder, as the window and the command line both change them. Every operation reads the files
// again, so changes made by other programs show at once. Every change reads, changes and
// replaces its file under the file's lock (files/FileLock.h), so that changes made at the same
// moment by several programs are all kept. Failures throw PayerFileError or SettingsError with
// the message the user reads; a failed write leaves the file as it was.
class PayerRegistry {
 public:
  explicit PayerRegistry(std::filesystem::path programFolder);

  std::filesystem::path payerFile() const;
  std::filesystem::path settingsFile() const;

  // The payers with the entry at `position` selected; any position outside the list selects
  // nothing. A missing list gives no payers and is not an error.
  LoadedPayers load(int position) const;

  // The stored position: "asmuo" of "NUSTATYMAI"; 0 when the file, the key or a number is missing.
  int storedPosition() const;
  void storePosition(int position) const;

  // The selection at start: the stored position applied to the list as it is now.
  LoadedPayers loadStored() const;

  // A change of the payer or the year: the list is loaded again at `position`, and the position
  // that loading selected (-1 for none) is stored.
  LoadedPayers select(int position) const;

  // Adds the line name;code, sorts the list and writes it back in one go, creating it when it is
  // missing. Then loads it at `entriesBefore`, the number of entries the selector held before
  // the addition: the position is not looked up again after the sort, so it names the last line,
  // which is the new payer only when that sorts last. The stored position does not change.
  LoadedPayers add(std::string_view name, std::string_view code, int entriesBefore) const;

  // Replaces the line at `position` with name;code (nothing is replaced when no line is there),
  // sorts the list and writes it back in one go, then loads it at that same position, again
  // without following the payer through the sort. The list must exist. The stored position does
  // not change.
  LoadedPayers edit(int position, std::string_view name, std::string_view code) const;

 private:
  std::filesystem::path folder_;
};

}  // namespace kvd507::payers
