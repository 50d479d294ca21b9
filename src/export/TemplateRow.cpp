#include "export/TemplateRow.h"

#include <array>
#include <cmath>
#include <utility>

#include "rows/Amount.h"
#include "rows/Text.h"

namespace kvd507::exports {
namespace {

namespace cell = rows::cell;

constexpr std::size_t kLRowsPerPage = 10;
constexpr std::size_t kURowsPerPage = 5;

struct Group {
  std::string_view letter;
  std::string_view nMark;
};
// In the order of the template's amount columns.
constexpr std::array<Group, 4> kGroups{{{"A", ""}, {"B", ""}, {"A", "N"}, {"B", "N"}}};

std::string inQuotes(std::string_view text) {
  return "„" + std::string(text) + "“";
}

class RowCells {
 public:
  RowCells(const rows::PaymentRow& row, const intake::SheetLayout& layout, const FormSlot& slot,
           const std::string& declaration)
      : row_(row), layout_(layout), slot_(slot), declaration_(declaration) {}

  std::vector<TemplateCell> build() {
    text(2, unescapedName(row_[cell::kText]));
    for (std::uint32_t i = 0; i < layout_.extraCount; ++i) {
      text(layout_.firstExtraColumn + i, row_[cell::kFirstExtra + i]);
    }
    identifier();
    payment();
    text(layout_.columnTextColumn(), row_[cell::kColumnText]);
    return std::move(cells_);
  }

 private:
  [[noreturn]] void refuse(std::size_t rowCell, std::string why) const {
    throw RowNotInTemplate(declaration_, slot_, fieldOfCell(rowCell), std::move(why));
  }

  void text(std::uint32_t column, const std::string& value) {
    if (!value.empty()) cells_.push_back({column, value, std::nullopt});
  }

  void identifier() {
    const std::string& identifier = row_[cell::kIdentifier];
    const std::string& kind = row_[cell::kIdentifierKind];
    if (identifier.empty() && kind.empty()) return;
    if (identifier.empty()) {
      refuse(cell::kIdentifierKind,
             "nurodyta gavėjo identifikavimo rūšis " + inQuotes(kind) + ", bet gavėjo kodo nėra");
    }
    const std::uint32_t count = layout_.identifierCount;
    const bool known =
        kind.size() == 1 && kind[0] >= '1' && static_cast<std::uint32_t>(kind[0] - '0') <= count;
    if (!known) {
      refuse(cell::kIdentifierKind,
             "gavėjo identifikavimo rūšis " + inQuotes(kind) + " ne iš 1–" + std::to_string(count) +
                 ", todėl nežinoma, į kurį darbaknygės stulpelį rašyti kodą " +
                 inQuotes(identifier));
    }
    text(layout_.firstIdentifierColumn + static_cast<std::uint32_t>(kind[0] - '1'), identifier);
  }

  // An amount the reader gives back as the same number of cents.
  double amount(std::size_t rowCell) const {
    const std::string& text = row_[rowCell];
    if (text.empty()) return 0.0;
    const std::optional<double> value = rows::readAmount(text);
    if (!value) refuse(rowCell, "suma " + inQuotes(text) + " ne skaičius");
    if (rows::roundAmount(2, *value) != *value || !rows::exactCents(*value)) {
      refuse(rowCell, "suma " + inQuotes(text) +
                          " turi daugiau nei du skaitmenis po kablelio arba yra per didelė; "
                          "darbaknygė ją suapvalintų");
    }
    return *value;
  }

  void payment() {
    const std::string& letter = row_[cell::kLetter];
    const std::string& nMark = row_[cell::kNMark];
    const std::string& dMark = row_[cell::kDMark];
    const std::string& code = row_[cell::kCode];
    const double value = amount(cell::kAmount);
    const double tax = amount(cell::kSecondAmount);
    if (!(value > 0)) {
      // The reader gives a row without any amount above 0 no letter, code or marks.
      if (!letter.empty() || !code.empty() || !nMark.empty() || !dMark.empty()) {
        refuse(cell::kAmount, "išmokos suma " + inQuotes(row_[cell::kAmount]) +
                                  " ne didesnė už 0, o darbaknygėje raidė, kodas ir žymės "
                                  "nurodomi tik su suma, didesne už 0");
      }
      if (tax != 0) {
        refuse(cell::kSecondAmount, "išskaičiuota suma " + inQuotes(row_[cell::kSecondAmount]) +
                                        " eilutėje be išmokos sumos; darbaknygė ją praleistų");
      }
      return;
    }
    std::size_t group = kGroups.size();
    for (std::size_t g = 0; g < kGroups.size(); ++g) {
      if (kGroups[g].letter == letter && kGroups[g].nMark == nMark) group = g;
    }
    if (group == kGroups.size()) {
      refuse(letter == "A" || letter == "B" ? cell::kNMark : cell::kLetter,
             "raidės " + inQuotes(letter) + " ir žymės " + inQuotes(nMark) +
                 " derinio darbaknygėje nėra (yra A, B, A su N, B su N)");
    }
    const std::uint32_t amountColumn =
        layout_.firstGroupColumn + 2 * static_cast<std::uint32_t>(group);
    cells_.push_back({amountColumn, {}, value});
    text(amountColumn + 1, typedCode(code, dMark));
    // An empty cell reads as 0,00 as well.
    if (tax != 0) cells_.push_back({layout_.secondAmountColumn(), {}, tax});
  }

  // The code as the user types it: a D-marked code has the "D" as its third character, which
  // the reader turns back into the mark.
  std::string typedCode(const std::string& code, const std::string& dMark) const {
    const std::size_t length = rows::characterCount(code);
    if (dMark == "D") {
      if (length != 2) {
        refuse(cell::kDMark, "žymė D su išmokos kodu " + inQuotes(code) +
                                 ": darbaknygėje D rašoma trečiuoju kodo ženklu, todėl kodas "
                                 "turi būti iš dviejų ženklų");
      }
      return code + "D";
    }
    if (!dMark.empty()) {
      refuse(cell::kDMark, "žymė " + inQuotes(dMark) + " ne D; darbaknygėje kitokios žymės nėra");
    }
    if (length == 1) {
      refuse(cell::kCode, "išmokos kodas " + inQuotes(code) +
                              " iš vieno ženklo; darbaknygė jį perskaitytų kaip " +
                              inQuotes("0" + code));
    }
    if (length == 3) {
      refuse(cell::kCode, "išmokos kodas " + inQuotes(code) +
                              " iš trijų ženklų be žymės D; darbaknygė trečiąjį ženklą "
                              "perskaitytų kaip žymę D");
    }
    return code;
  }

  const rows::PaymentRow& row_;
  const intake::SheetLayout& layout_;
  const FormSlot& slot_;
  const std::string& declaration_;
  std::vector<TemplateCell> cells_;
};

}  // namespace

FormSlot lSlot(std::size_t index) {
  return {"L", 2 + index / kLRowsPerPage, 1 + index % kLRowsPerPage};
}

FormSlot uSlot(std::size_t index, std::size_t lRows) {
  const std::size_t lPages = (lRows + kLRowsPerPage - 1) / kLRowsPerPage;
  return {"U", 2 + lPages + index / kURowsPerPage, 1 + index % kURowsPerPage};
}

std::size_t fieldOfCell(std::size_t rowCell) {
  return rowCell < cell::kFirstExtra ? rowCell + 1 : rowCell + 2;
}

RowNotInTemplate::RowNotInTemplate(const std::string& declaration, FormSlot slot, std::size_t field,
                                   std::string why)
    : Error(ErrorKind::kRowNotInTemplate, ErrorPlace(declaration)),
      slot_(std::move(slot)),
      field_(field),
      why_(std::move(why)) {
  setDetail(describe());
}

std::string RowNotInTemplate::describe() const {
  return std::to_string(slot_.page) + " puslapis, " + std::to_string(slot_.slot) + " eilutė (" +
         slot_.appendix + " priedas, laukas " + slot_.appendix + std::to_string(field_) + "-" +
         std::to_string(slot_.slot) + "): " + why_;
}

std::string unescapedName(std::string_view name) {
  std::string text;
  text.reserve(name.size());
  while (!name.empty()) {
    if (name.starts_with("&amp;")) {
      text += '&';
      name.remove_prefix(5);
    } else if (name.starts_with("&quot;")) {
      text += '"';
      name.remove_prefix(6);
    } else {
      text += name.front();
      name.remove_prefix(1);
    }
  }
  return text;
}

std::vector<TemplateCell> templateCells(const rows::PaymentRow& row,
                                        const intake::SheetLayout& layout, const FormSlot& slot,
                                        const std::string& declaration) {
  return RowCells(row, layout, slot, declaration).build();
}

}  // namespace kvd507::exports
