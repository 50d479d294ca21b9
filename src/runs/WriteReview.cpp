#include "runs/WriteReview.h"

#include "rows/Amount.h"
#include "rows/Text.h"
#include "text/XmlReferences.h"

namespace kvd507::runs {
namespace {

// The header's values as the user reads them: trimmed, references turned back into characters.
struct ShownHeader {
  std::string name;
  std::string code;
  std::string year;
};

ShownHeader shown(const declaration::DeclarationHeader& header) {
  return {text::decodeXmlText(rows::trim(header.name)), std::string(rows::trim(header.id)),
          std::string(rows::trim(header.year))};
}

std::string payerAndCode(const std::string& name, const std::string& code) {
  return (name.empty() ? std::string("be pavadinimo") : name) + " (" + code + ")";
}

}  // namespace

std::optional<std::string> chosenPayerDiffers(const WriteReview& review) {
  if (!review.appending) return std::nullopt;
  const ShownHeader main = shown(review.header);
  const std::string code(rows::trim(review.chosenPayerCode));
  const std::string year(rows::trim(review.chosenYear));
  if (code == main.code && year == main.year) return std::nullopt;
  return "Papildoma " + main.year + " m. forma: " + payerAndCode(main.name, main.code) +
         "; lange pasirinkta: " +
         payerAndCode(std::string(rows::trim(review.chosenPayerName)), code) + ", " + year + " m.";
}

std::vector<std::string> reviewFacts(const WriteReview& review, char decimalSeparator) {
  std::vector<std::string> facts;
  if (auto differs = chosenPayerDiffers(review)) facts.push_back(*differs);
  const ShownHeader main = shown(review.header);
  facts.push_back("Mokėtojas: " + payerAndCode(main.name, main.code) + "; metai: " + main.year);
  const RunSummary& summary = review.report.summary;
  facts.push_back(
      "Visa forma: Išmokos suma " +
      rows::formatAmount(summary.l.amount + summary.u.amount, decimalSeparator) +
      "; Išskaičiuota mokesčio suma " +
      rows::formatAmount(summary.l.secondAmount + summary.u.secondAmount, decimalSeparator) +
      "; L įrašų " + std::to_string(summary.l.rowsWritten) + ", U įrašų " +
      std::to_string(summary.u.rowsWritten) + ", puslapių " + std::to_string(summary.pages()));
  if (review.replaced) {
    std::string replaced = replacedText(*review.replaced);
    if (review.keepsReplaced) {
      replaced += "; ji bus išsaugota aplanke " + keptFolder(review.replaced->file).string();
    }
    facts.push_back(std::move(replaced));
  }
  return facts;
}

bool writeByDefault(const WriteReview& review) {
  if (!review.report.findings.empty() || chosenPayerDiffers(review)) return false;
  if (!review.replaced) return true;
  const ShownHeader main = shown(review.header);
  return review.replaced->readable && review.replaced->payerCode == main.code &&
         review.replaced->year == main.year;
}

}  // namespace kvd507::runs
