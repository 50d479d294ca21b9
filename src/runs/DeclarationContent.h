#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "declaration/DeclarationHeader.h"
#include "rows/Finding.h"
#include "rows/RowTable.h"
#include "runs/RunSummary.h"

namespace kvd507::runs {

// A declaration as the viewer and `kvd507 show` present it: read by the same code that an
// append run starts from, so that what is shown is what extending it would take over.
struct DeclarationContent {
  std::filesystem::path file;
  // B_MM_ID, B_MM_Pavad and B_ML_Metai as the file holds them (each keeps its not-set marker
  // when the file has no such field); `payerName` with the XML references decoded.
  declaration::DeclarationHeader header;
  std::string payerName;
  std::size_t pages = 1;  // as the file announces them, or as its rows fill them
  rows::RowTable lRows;
  rows::RowTable uRows;
  RunSummary summary;  // totals per appendix and per letter and code
  // What the declaration alone shows to be wrong: an amount that is no number or too large, a
  // key held twice, a slot without a name, an empty payment code. The place is the form's field
  // ("L5-3": column 5 of slot 3) and its page.
  std::vector<rows::Finding> findings;
};

// Where a row stands in the form as this program writes it: the page (the main page is 1, then
// the L pages, then the U pages) and the slot on that page.
struct RowPlace {
  std::size_t page = 0;
  std::size_t slot = 0;
};
RowPlace lRowPlace(std::size_t index);
RowPlace uRowPlace(std::size_t index, std::size_t lRows);

// The form writes its amounts with a comma; its totals are shown the same way.
inline constexpr char kFormDecimalSeparator = ',';

inline constexpr std::size_t kLRowsPerPage = 10;
inline constexpr std::size_t kURowsPerPage = 5;

// Reads `file` whole, once; throws DeclarationError as an append run's reading does (not UTF-8, not
// a whole declaration, cannot be read). Nothing of the file is changed.
DeclarationContent readDeclarationContent(const std::filesystem::path& file);

}  // namespace kvd507::runs
