#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "payers/PayerLine.h"
#include "payers/TextEncoding.h"

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

  // Every change below rewrites the list sorted in one go and moves the stored position along
  // with the payer it named (matched by name and code, the first of equal lines): it is written
  // only when that payer's position changed, -1 when it is gone, and left alone when it named
  // none. The selector then shows the payer the user acted on.

  // Adds the line name;code, creating the list when it is missing; the new payer is selected.
  LoadedPayers add(std::string_view name, std::string_view code) const;

  // Replaces the line at `position` with name;code; the edited payer is selected wherever the
  // sort put it. A position that names no line replaces nothing and selects nothing. The list
  // must exist.
  LoadedPayers edit(int position, std::string_view name, std::string_view code) const;

  // Removes the line at `position` (nothing when no line is there); the stored payer is
  // selected, none when it was the one removed. The list must exist.
  LoadedPayers remove(int position) const;

 private:
  // Writes `lines` sorted and follows the stored payer, `previous` being what the stored
  // position named before the change and `stored` what it names after it (after an edit of that
  // line, the edited payer; none once it is removed), all or nothing (payers/PayerChange.h).
  // Returns the lines as written.
  std::vector<std::string> rewrite(const std::filesystem::path& file,
                                   std::vector<std::string> lines, TextEncoding encoding,
                                   int storedBefore, const std::optional<Payer>& previous,
                                   const std::optional<Payer>& stored) const;

  std::filesystem::path folder_;
};

}  // namespace kvd507::payers
