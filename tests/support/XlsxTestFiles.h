#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/RawCell.h"

namespace kvd507::test {

// Zip part name to content.
using XlsxParts = std::map<std::string, std::string>;

inline constexpr std::string_view kMainNamespace =
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr std::string_view kRelationshipNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// A worksheet part whose <sheetData> holds `rows`.
std::string sheetXml(std::string_view rows);

// A small hand-made workbook with one worksheet "Sheet1" holding `rows`, a styles part (cell
// style 1: built-in date 14, 2: custom date "yyyy-mm-dd", 3: custom "#,##0.00") and shared
// strings 0 "plain", 1 rich text "Rich text" with a phonetic reading, 2 "line\rbreak", 3 "".
// Tests change or remove parts to make the quirk they are about.
XlsxParts minimalWorkbook(std::string_view rows);

void writeZip(const std::filesystem::path& file, const XlsxParts& parts);

// Every row the worksheet at `index` hands out, with texts of their own.
std::vector<spreadsheet::RawRow> readRows(const std::filesystem::path& file,
                                          std::uint32_t maxColumn = 50, std::size_t index = 0);

}  // namespace kvd507::test
