#include "declaration/SlotFindings.h"

#include <string>
#include <utility>

#include "rows/Amount.h"
#include "rows/Text.h"
#include "text/XmlReferences.h"

namespace kvd507::declaration {
namespace {

using Kind = rows::Finding::Kind;

// A value in quotes, cut short when it is too long to read in one line.
std::string quoted(std::string_view text) {
  constexpr std::size_t kShown = 40;
  if (rows::characterCount(text) <= kShown) return "\"" + std::string(text) + "\"";
  return "\"" + std::string(rows::firstCharacters(text, kShown)) + "…\"";
}

// The page and slot, and the recipient when the row names one: "2 puslapis, 3 vieta; gavėjas
// ONA", as the viewer and the printout show the row.
std::string placeText(const SlotPlace& place, const rows::PaymentRow* row = nullptr) {
  std::string text =
      std::to_string(place.page) + " puslapis, " + std::string(place.slot) + " vieta";
  if (row != nullptr && !(*row)[rows::cell::kText].empty()) {
    text += "; gavėjas " + text::decodeXmlText((*row)[rows::cell::kText]);
  }
  return text;
}

// The key of a row as a bookkeeper tells rows apart: identifier, name, letter and code, marks.
std::string keyText(const rows::PaymentRow& row) {
  std::string text = quoted(row[rows::cell::kText]);
  if (!row[rows::cell::kIdentifier].empty()) text += ", " + quoted(row[rows::cell::kIdentifier]);
  std::string code = row[rows::cell::kLetter];
  for (const std::size_t cell : {rows::cell::kCode, rows::cell::kNMark, rows::cell::kDMark}) {
    if (row[cell].empty()) continue;
    if (!code.empty()) code += ' ';
    code += row[cell];
  }
  if (!code.empty()) text += ", " + quoted(code);
  return text;
}

}  // namespace

bool holdsValues(const rows::PaymentRow& row) {
  for (const std::string& cell : row) {
    if (!cell.empty()) return true;
  }
  return false;
}

void SlotFindings::add(Kind kind, const SlotPlace& place, std::size_t cell, std::string text) {
  if (++seen_[kind] > kMaxKept) return;
  // The field of the cell: cells 0..9 are fields 1..10, cells 10..13 the U fields 12..15.
  const std::size_t field = cell < rows::cell::kFirstExtra ? cell + 1 : cell + 2;
  kept_.push_back({kind, std::string(place.sheet), 0,
                   place.field + std::to_string(field) + "-" + std::string(place.slot),
                   std::move(text)});
}

void SlotFindings::slotWithoutName(const SlotPlace& place) {
  add(Kind::SlotWithoutName, place, rows::cell::kText,
      "pavadinimas tuščias, nors kiti eilutės laukai užpildyti (" + placeText(place) +
          "); eilutė praleista");
}

void SlotFindings::checkAmounts(const SlotPlace& place, const rows::PaymentRow& row) {
  for (const std::size_t cell : {rows::cell::kAmount, rows::cell::kSecondAmount}) {
    const std::string& text = row[cell];
    if (text.empty()) continue;
    const std::optional<double> amount = rows::readAmount(text);
    if (!amount) {
      add(Kind::NotANumber, place, cell,
          quoted(text) + " nėra skaičius (" + placeText(place, &row) + "), suma laikoma 0");
    } else if (rows::isTooLarge(*amount)) {
      add(Kind::AmountTooLarge, place, cell,
          "suma " + quoted(text) + " per didelė (10^15 ar daugiau) (" + placeText(place, &row) +
              "), laikoma 0");
    }
  }
}

void SlotFindings::repeatedRow(const SlotPlace& place, const rows::PaymentRow& row,
                               std::uint32_t firstPage) {
  const std::string pages =
      firstPage == place.page
          ? std::to_string(place.page) + " puslapyje"
          : std::to_string(firstPage) + " ir " + std::to_string(place.page) + " puslapiuose";
  add(Kind::RepeatedRows, place, rows::cell::kText,
      "forma turi pasikartojančių eilučių: " + keyText(row) + " yra " + pages +
          "; darbaknygės sumos pridedamos tik prie pirmosios");
}

void SlotFindings::tell(rows::FindingSink& sink) {
  for (rows::Finding& finding : kept_) sink.add(std::move(finding));
  for (const auto& [kind, count] : seen_) {
    for (std::size_t more = kMaxKept; more < count; ++more) sink.add({kind, {}, 0, {}, {}});
  }
  kept_.clear();
  seen_.clear();
}

}  // namespace kvd507::declaration
