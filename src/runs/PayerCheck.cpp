#include "runs/PayerCheck.h"

#include <algorithm>
#include <string>

#include "rows/Text.h"

namespace kvd507::runs {
namespace {

constexpr std::string_view kNoPayerCode = "lb_kodas";

bool allDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

rows::Finding payerFinding(rows::Finding::Kind kind, std::string text) {
  return {kind, {}, 0, {}, std::move(text)};
}

}  // namespace

std::optional<rows::Finding> checkPayerCode(std::string_view code) {
  using Kind = rows::Finding::Kind;
  if (code == kNoPayerCode) {
    return payerFinding(Kind::NoPayer,
                        "nepasirinktas išmokų mokėtojas; formoje vietoj jo kodo "
                        "bus \"lb_kodas\"");
  }
  if (code.empty()) return payerFinding(Kind::OddPayerCode, "išmokų mokėtojo kodas tuščias");
  if (!allDigits(code) || (code.size() != 9 && code.size() != 11)) {
    return payerFinding(Kind::OddPayerCode, "išmokų mokėtojo kodas " + rows::quotedValue(code) +
                                                " nėra nei 9, nei 11 skaitmenų");
  }
  if (code.size() == 11 && !personalCodeCheckDigitHolds(code)) {
    return payerFinding(Kind::PayerCheckDigit, "išmokų mokėtojo asmens kodo \"" +
                                                   std::string(code) +
                                                   "\" kontrolinis skaitmuo neteisingas");
  }
  return std::nullopt;
}

}  // namespace kvd507::runs
