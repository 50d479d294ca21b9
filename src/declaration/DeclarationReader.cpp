#include "declaration/DeclarationReader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "declaration/DeclarationError.h"
#include "declaration/FieldTags.h"
#include "declaration/HeaderValue.h"
#include "declaration/SlotFindings.h"
#include "declaration/WholeDeclaration.h"
#include "files/WholeFile.h"
#include "rows/Text.h"
#include "text/TextLines.h"
#include "text/Utf8.h"
#include "text/XmlReferences.h"

namespace kvd507::declaration {
namespace {

using rows::PaymentRow;

// A declaration holds a few megabytes per ten thousand rows; anything near this is not one.
constexpr std::size_t kLargestFile = std::size_t{1} << 30;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kKeyStart = "Name=\"";

enum class Target { kId, kName, kYear, kL, kU };

struct Key {
  std::string_view text;
  std::size_t cut;  // characters removed after the key's starting position
  Target target;
  std::size_t value;  // 1-based L or U value number
};

// In the order they are tried: when a line holds several keys the first of this list wins.
constexpr std::array<Key, 27> kKeys{{
    {R"(Name="B_MM_ID")", 12, Target::kId, 0},
    {R"(Name="B_MM_Pavad")", 15, Target::kName, 0},
    {R"(Name="B_ML_Metai")", 15, Target::kYear, 0},
    {R"(Name="L1-)", 8, Target::kL, 1},
    {R"(Name="L2-)", 8, Target::kL, 2},
    {R"(Name="L3-)", 8, Target::kL, 3},
    {R"(Name="L4-)", 8, Target::kL, 4},
    {R"(Name="L5-)", 8, Target::kL, 5},
    {R"(Name="L6-)", 8, Target::kL, 6},
    {R"(Name="L7-)", 8, Target::kL, 7},
    {R"(Name="L8-)", 8, Target::kL, 8},
    {R"(Name="L9-)", 8, Target::kL, 9},
    {R"(Name="L10-)", 8, Target::kL, 10},
    {R"(Name="U1-)", 8, Target::kU, 1},
    {R"(Name="U2-)", 8, Target::kU, 2},
    {R"(Name="U3-)", 8, Target::kU, 3},
    {R"(Name="U4-)", 8, Target::kU, 4},
    {R"(Name="U5-)", 8, Target::kU, 5},
    {R"(Name="U6-)", 8, Target::kU, 6},
    {R"(Name="U7-)", 8, Target::kU, 7},
    {R"(Name="U8-)", 8, Target::kU, 8},
    {R"(Name="U9-)", 8, Target::kU, 9},
    {R"(Name="U10-)", 8, Target::kU, 10},
    {R"(Name="U12-)", 8, Target::kU, 12},
    {R"(Name="U13-)", 8, Target::kU, 13},
    {R"(Name="U14-)", 8, Target::kU, 14},
    {R"(Name="U15-)", 8, Target::kU, 15},
}};

std::string loadBytes(const std::filesystem::path& file) {
  try {
    return files::readWholeFile(file, kLargestFile);
  } catch (const Error& e) {
    throw DeclarationError(e);
  }
}

std::string_view decodedText(const std::filesystem::path& file, std::string_view bytes) {
  const std::size_t markLength = bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  bytes.remove_prefix(markLength);
  if (const auto invalid = text::firstInvalidUtf8(bytes)) {
    throw DeclarationError(ErrorKind::kNotUtf8,
                           ErrorPlace::atOffset(file.string(), markLength + *invalid),
                           "not UTF-8 text");
  }
  return bytes;
}

// The key of the list above that comes first in the list's order among those the line holds,
// and where the line holds it first. Every key starts with `Name="`, so only those places need
// a look, and no two keys can start at the same place.
std::optional<std::pair<const Key*, std::size_t>> findKey(std::string_view line) {
  const Key* best = nullptr;
  std::size_t bestAt = 0;
  for (std::size_t at = line.find(kKeyStart); at != std::string_view::npos;
       at = line.find(kKeyStart, at + 1)) {
    const std::string_view rest = line.substr(at);
    for (const Key& key : kKeys) {
      if (best != nullptr && &key >= best) break;
      if (rest.starts_with(key.text)) {
        best = &key;
        bestAt = at;
        break;
      }
    }
  }
  if (best == nullptr) return std::nullopt;
  return std::pair{best, bestAt};
}

// The cut counts characters from a 1-based position: the key's preceding characters and
// key.cut + 1 of its own. Keys are ASCII and the cut stays inside the key, so this is a byte
// offset too.
std::string_view rawValueOf(std::string_view line, const Key& key, std::size_t at) {
  std::string_view rest = line.substr(at + key.cut + 1);
  const std::size_t tagEnd = rest.find('>');
  if (tagEnd != std::string_view::npos) rest.remove_prefix(tagEnd + 1);
  const std::size_t closing = rest.find("</");
  if (closing == std::string_view::npos) return {};
  return rows::trim(rest.substr(0, closing));
}

// The payer name, and field 3 of a row slot, which holds the name cell.
bool isNameField(const Key& key) {
  const bool slotField = key.target == Target::kL || key.target == Target::kU;
  return key.target == Target::kName || (slotField && key.value == rows::cell::kText + 1);
}

// Values come back as the tables held them: the writer's references decoded, and the name
// cells and the payer name escaped again as the sheet readers escape them. A declaration that
// another program saved with literal quotes or other references reads the same. Row names are
// put in capitals as the sheet readers put them, before the escaping, so that a name written
// with small Lithuanian letters merges with the workbook's rows; the payer name stays as written.
std::string valueOf(std::string_view line, const Key& key, std::size_t at) {
  std::string value = text::decodeXmlText(rawValueOf(line, key, at));
  if (!isNameField(key)) return value;
  if (key.target != Target::kName) rows::makeUpperCase(value);
  return rows::escapeName(value);
}

// The slot number of a row field's line: "3" of `Name="L10-3"`.
std::string_view slotOf(std::string_view line, const Key& key, std::size_t at) {
  const std::string_view rest = line.substr(at + key.text.size());
  return rest.substr(0, rest.find('"'));
}

// As many rows as a worksheet can hold: a declaration of more was made by no workbook.
constexpr std::size_t kMostRows = std::size_t{1} << 20;

// What one file yields, gathered apart from the caller's tables so that they are changed only
// once the whole file was read.
struct Scan {
  // The main page's, which comes first; the footers only repeat them.
  HeaderValue id{"mokėtojo kodas"};
  std::optional<std::string> name;
  HeaderValue year{"metai"};
  // Tables of their own, so that their bound on the text held stops a file whose values carry
  // over to thousands of rows while it is read.
  rows::RowTable lRows;
  rows::RowTable uRows;
  // The page of each row, for the findings that name the page of an earlier row.
  std::vector<std::uint32_t> lPages;
  std::vector<std::uint32_t> uPages;
  // Values outlive their slot: a slot lacking a field's line takes the one seen last.
  std::array<std::string, 11> l;  // 1..10
  std::array<std::string, 16> u;  // 1..10, 12..15
  FieldTags tags;
  std::uint32_t line = 0;
  SlotFindings findings;

  void store(const Key& key, std::string value, std::string_view slot) {
    switch (key.target) {
      case Target::kId:
        id.take(std::move(value), static_cast<std::uint32_t>(tags.page()));
        break;
      case Target::kName:
        name = std::move(value);
        break;
      case Target::kYear:
        year.take(std::move(value), static_cast<std::uint32_t>(tags.page()));
        break;
      case Target::kL:
        l[key.value] = std::move(value);
        if (key.value == 10) finishRow(kL, slot);
        break;
      case Target::kU:
        u[key.value] = std::move(value);
        if (key.value == 15) finishRow(kU, slot);
        break;
    }
  }

  struct Appendix {
    const char* page;   // the page definition
    const char* sheet;  // the worksheet its rows come from, which findings name
    char field;         // the fields' letter
    std::size_t table;  // 0: L, 1: U
  };
  static constexpr Appendix kL{"KVD507L", "KVD507 L", 'L', 0};
  static constexpr Appendix kU{"KVD507U", "KVD507 U", 'U', 1};

  rows::PaymentRow rowOf(const Appendix& appendix) const {
    rows::PaymentRow row;
    if (appendix.table == 0) {
      for (std::size_t cell = 0; cell < 10; ++cell) row[cell] = l[cell + 1];
    } else {
      for (std::size_t cell = 0; cell < 10; ++cell) row[cell] = u[cell + 1];
      for (std::size_t cell = 10; cell < 14; ++cell) row[cell] = u[cell + 2];
    }
    return row;
  }

  void finishRow(const Appendix& appendix, std::string_view slot) {
    rows::RowTable& table = appendix.table == 0 ? lRows : uRows;
    std::vector<std::uint32_t>& pages = appendix.table == 0 ? lPages : uPages;
    const auto page = static_cast<std::uint32_t>(tags.page());
    const SlotPlace place{appendix.sheet, appendix.field, slot, page};
    rows::PaymentRow row = rowOf(appendix);
    if (row[rows::cell::kText].empty()) {
      if (holdsValues(row)) findings.slotWithoutName(place);
      return;
    }
    if (table.size() == kMostRows) {
      throw Error(ErrorKind::kTooManyDeclarationRows, ErrorPlace({}, {}, line), appendix.page);
    }
    findings.checkAmounts(place, row);
    if (const auto first = table.append(row)) findings.repeatedRow(place, row, pages[*first]);
    pages.push_back(page);
  }
};

void scanLine(Scan& scan, std::string_view line) {
  ++scan.line;
  scan.tags.check(line, scan.line);
  if (const auto found = findKey(line)) {
    const auto [key, at] = *found;
    scan.store(*key, valueOf(line, *key, at), slotOf(line, *key, at));
  }
}

}  // namespace

DeclarationFacts readExistingDeclaration(const std::filesystem::path& file, rows::RowTable& lRows,
                                         rows::RowTable& uRows, DeclarationHeader& header,
                                         rows::FindingSink& findings) {
  const std::string bytes = loadBytes(file);
  const std::string_view text = decodedText(file, bytes);
  checkWholeDeclaration(file, text);
  Scan scan;
  try {
    text::forEachLine(text, [&scan](std::string_view line) { scanLine(scan, line); });
    lRows.reserveText(scan.lRows.textSize());
    uRows.reserveText(scan.uRows.textSize());
  } catch (Error& e) {
    if (e.file().empty()) e.setFile(file.string());
    throw DeclarationError(e);
  }

  if (scan.id.value()) header.id = *scan.id.value();
  if (scan.name) header.name = std::move(*scan.name);
  if (scan.year.value()) header.year = *scan.year.value();
  scan.id.tell(findings);
  scan.year.tell(findings);
  lRows.appendAll(std::move(scan.lRows));
  uRows.appendAll(std::move(scan.uRows));
  scan.findings.tell(findings);
  return {announcedPageCount(text)};
}

}  // namespace kvd507::declaration
