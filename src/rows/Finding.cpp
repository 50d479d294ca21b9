#include "rows/Finding.h"

namespace kvd507::rows {
namespace {

class IgnoredFindings : public FindingSink {
 public:
  void add(Finding) override {}
  void rowTaken(std::string_view, bool) override {}
};

}  // namespace

std::string Finding::describe() const {
  // The place reads as in every other message: sheet, row, column.
  std::string where;
  auto add = [&where](const std::string& part) { where += (where.empty() ? "" : ", ") + part; };
  if (!sheet.empty()) add("lapas \"" + sheet + "\"");
  if (row != 0) add("eilutė " + std::to_string(row));
  if (!column.empty()) {
    add((column.find("–") == std::string::npos ? "stulpelis " : "stulpeliai ") + column);
  }
  return where.empty() ? text : where + ": " + text;
}

bool losesData(Finding::Kind kind) {
  switch (kind) {
    case Finding::Kind::NotANumber:
    case Finding::Kind::SecondAmountUnused:
    case Finding::Kind::SeveralGroups:
    case Finding::Kind::NegativeAmount:
    case Finding::Kind::RowWithoutText:
    case Finding::Kind::RowsBelowEnd:
    case Finding::Kind::MissingSheet:
    case Finding::Kind::ReadStopped:
    case Finding::Kind::NoPayer:
    case Finding::Kind::AmountTooLarge:
    case Finding::Kind::SlotWithoutName:
    case Finding::Kind::RepeatedRows:
    case Finding::Kind::AlreadyInDeclaration:
      return true;
    case Finding::Kind::FooterDiffers:
    case Finding::Kind::NoAmount:
    case Finding::Kind::NoIdentifier:
    case Finding::Kind::OddCode:
    case Finding::Kind::OddPersonalCode:
    case Finding::Kind::OddCompanyCode:
    case Finding::Kind::OddBirthDate:
    case Finding::Kind::SeveralIdentifiers:
    case Finding::Kind::PercentRate:
    case Finding::Kind::OddRate:
    case Finding::Kind::OddPayerCode:
    case Finding::Kind::PayerCheckDigit:
    case Finding::Kind::WorkbookOpen:
      break;
  }
  return false;
}

FindingSink& ignoredFindings() {
  static IgnoredFindings sink;
  return sink;
}

}  // namespace kvd507::rows
