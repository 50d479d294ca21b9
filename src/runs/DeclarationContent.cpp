#include "runs/DeclarationContent.h"

#include <functional>
#include <string_view>

#include "declaration/DeclarationReader.h"
#include "declaration/WholeDeclaration.h"
#include "declaration/XmlText.h"
#include "files/WholeFile.h"
#include "rows/Amount.h"

namespace kvd507::runs {
namespace {

// The same bound as the append run's reading; a larger file has been refused by then.
constexpr std::size_t kLargestFile = std::size_t{1} << 30;

std::size_t pagesFor(std::size_t rows, std::size_t perPage) {
  return (rows + perPage - 1) / perPage;
}

void checkRows(const rows::RowTable& table, const char* page,
               const std::function<RowPlace(std::size_t)>& place,
               std::vector<rows::Finding>& findings) {
  using Kind = rows::Finding::Kind;
  // Named as the review names the worksheet the rows come from.
  const std::string sheet = std::string("KVD507 ") + page[6];
  for (std::size_t index = 0; index < table.size(); ++index) {
    const rows::TEilute& row = table[index];
    const RowPlace at = place(index);
    const std::string slot = std::to_string(at.slot);
    const std::string where = " (" + std::to_string(at.page) + " puslapis, " + slot +
                              " vieta; gavėjas " +
                              declaration::decodeXmlText(row[rows::cell::kText]) + ")";
    auto field = [&](std::size_t cell) {
      return std::string(1, page[6]) + std::to_string(cell + 1) + "-" + slot;
    };
    if (row[rows::cell::kCode].empty()) {
      findings.push_back(
          {Kind::OddCode, sheet, 0, field(rows::cell::kCode), "išmokos kodas tuščias" + where});
    }
    for (const std::size_t cell : {rows::cell::kAmount, rows::cell::kSecondAmount}) {
      const std::string& amount = row[cell];
      if (!amount.empty() && !rows::readAmount(amount)) {
        std::string text = "\"" + amount;
        text += "\" nėra skaičius";
        text += where;
        findings.push_back({Kind::NotANumber, sheet, 0, field(cell), std::move(text)});
      }
    }
  }
}

}  // namespace

RowPlace lRowPlace(std::size_t index) {
  return {2 + index / kLRowsPerPage, 1 + index % kLRowsPerPage};
}

RowPlace uRowPlace(std::size_t index, std::size_t lRows) {
  return {2 + pagesFor(lRows, kLRowsPerPage) + index / kURowsPerPage, 1 + index % kURowsPerPage};
}

DeclarationContent readDeclarationContent(const std::filesystem::path& file) {
  DeclarationContent content;
  content.file = file;
  declaration::ReadExistingDeclaration(file, content.lRows, content.uRows, content.header);
  content.payerName =
      content.header.isExtended() ? declaration::decodeXmlText(content.header.name) : std::string();

  content.summary.l = summariseTable("KVD507L", content.lRows, kLRowsPerPage);
  content.summary.u = summariseTable("KVD507U", content.uRows, kURowsPerPage);
  content.pages = content.summary.pages();
  // The count the file gives wins: another program may leave slots empty mid-page.
  try {
    const std::string text = files::readWholeFile(file, kLargestFile);
    if (const auto announced = declaration::announcedPageCount(text)) content.pages = *announced;
  } catch (...) {
    // Read a moment ago; the count from the rows stands.
  }

  const std::size_t lCount = content.lRows.size();
  checkRows(content.lRows, "KVD507L", lRowPlace, content.findings);
  checkRows(
      content.uRows, "KVD507U", [lCount](std::size_t i) { return uRowPlace(i, lCount); },
      content.findings);
  return content;
}

}  // namespace kvd507::runs
