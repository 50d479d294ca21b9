#include "runs/DeclarationContent.h"

#include <functional>
#include <string_view>

#include "declaration/DeclarationReader.h"
#include "runs/FindingCollector.h"
#include "text/XmlReferences.h"

namespace kvd507::runs {
namespace {

std::size_t pagesFor(std::size_t rows, std::size_t perPage) {
  return (rows + perPage - 1) / perPage;
}

void checkRows(const rows::RowTable& table, const char* page,
               const std::function<RowPlace(std::size_t)>& place, rows::FindingSink& findings) {
  using Kind = rows::Finding::Kind;
  // Named as the review names the worksheet the rows come from.
  const std::string sheet = std::string("KVD507 ") + page[6];
  for (std::size_t index = 0; index < table.size(); ++index) {
    const rows::PaymentRow& row = table[index];
    const RowPlace at = place(index);
    const std::string slot = std::to_string(at.slot);
    const std::string where = " (" + std::to_string(at.page) + " puslapis, " + slot +
                              " vieta; gavėjas " + text::decodeXmlText(row[rows::cell::kText]) +
                              ")";
    auto field = [&](std::size_t cell) {
      return std::string(1, page[6]) + std::to_string(cell + 1) + "-" + slot;
    };
    if (row[rows::cell::kCode].empty()) {
      findings.add(
          {Kind::OddCode, sheet, 0, field(rows::cell::kCode), "išmokos kodas tuščias" + where});
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
  // The reader's own findings (amounts, repeated rows, slots without a name) come first.
  FindingCollector findings;
  const declaration::DeclarationFacts facts = declaration::readExistingDeclaration(
      file, content.lRows, content.uRows, content.header, findings);
  content.payerName =
      content.header.isExtended() ? text::decodeXmlText(content.header.name) : std::string();

  content.summary.l = summariseTable("KVD507L", content.lRows, kLRowsPerPage);
  content.summary.u = summariseTable("KVD507U", content.uRows, kURowsPerPage);
  content.summary.amountsNotCounted = amountsNotCounted(findings);
  content.pages = content.summary.pages();
  // The count the file gives wins: another program may leave slots empty mid-page.
  if (facts.announcedPages) content.pages = *facts.announcedPages;

  const std::size_t lCount = content.lRows.size();
  checkRows(content.lRows, "KVD507L", lRowPlace, findings);
  checkRows(
      content.uRows, "KVD507U", [lCount](std::size_t i) { return uRowPlace(i, lCount); }, findings);
  content.findings = findings.findings();
  return content;
}

}  // namespace kvd507::runs
