#include "declaration/DeclarationWriter.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "declaration/XmlText.h"
#include "rows/NumberedText.h"
#include "rows/Text.h"

namespace kvd507::declaration {
namespace {

using rows::PaymentRow;
using rows::RowTable;

// How one kind of appendix page is laid out.
struct AppendixKind {
  std::string_view pageName;  // "KVD507L"
  char columnLetter;          // 'L'
  std::size_t slotsPerPage;
  std::size_t columns;
  std::string_view fieldCount;
  // The cell a column is written from; kNoCell for columns always written empty.
  std::size_t (*cellOf)(std::size_t column);
};

constexpr std::size_t kNoCell = 99;

std::size_t lCellOf(std::size_t column) {
  return column <= 10 ? column - 1 : kNoCell;
}

// U11 stays empty; U12 to U15 hold the sheet's extra texts.
std::size_t uCellOf(std::size_t column) {
  if (column <= 10) return column - 1;
  return column == 11 ? kNoCell : column - 2;
}

constexpr AppendixKind kLPage{"KVD507L", 'L', 10, 13, "135", lCellOf};
constexpr AppendixKind kUPage{"KVD507U", 'U', 5, 15, "80", uCellOf};

// Bytes of one page beyond its values: 144 and 89 lines of about 40 bytes.
constexpr std::size_t kLPageBytes = 5800;
constexpr std::size_t kUPageBytes = 3600;
constexpr std::size_t kFixedBytes = 1600;

std::size_t pageCount(std::size_t rows, std::size_t slotsPerPage) {
  return (rows + slotsPerPage - 1) / slotsPerPage;
}

bool isAmountCell(std::size_t cell) {
  return cell == rows::cell::kAmount || cell == rows::cell::kSecondAmount;
}

// Gathers the text in a buffer that is handed to the sink whenever it fills.
class DeclarationText {
 public:
  explicit DeclarationText(ByteSink& sink) : sink_(sink) {
    text_.reserve(kBufferBytes + kBufferBytes / 4);
    text_ += "\xEF\xBB\xBF";
  }

  void line(std::size_t spaces, std::string_view text) {
    text_.append(spaces, ' ');
    text_ += text;
    text_ += "\r\n";
    flushIfFull();
  }

  void field(std::size_t spaces, std::string_view name, std::string_view value,
             Ampersand ampersand = Ampersand::kEscaped) {
    text_.append(spaces, ' ');
    text_ += "<Field Name=\"";
    text_ += name;
    text_ += "\">";
    appendXmlText(text_, value, ampersand);
    text_ += "</Field>\r\n";
    flushIfFull();
  }

  // One field of a row slot, opened by `opening` (see slotFieldOpenings), with the amounts'
  // decimal points made commas.
  void slotField(std::string_view opening, std::string_view value, std::size_t cell) {
    text_ += opening;
    // The name cell holds its "&" escaped already, as the sheet readers leave it.
    const Ampersand ampersand =
        cell == rows::cell::kText ? Ampersand::kAlreadyEscaped : Ampersand::kEscaped;
    const std::size_t valueStart = text_.size();
    appendXmlText(text_, value, ampersand);
    if (isAmountCell(cell)) {
      // Escaping writes a "." wherever the value has one, and never one of its own, so making
      // the written points commas is making the value's points commas before escaping it.
      std::replace(text_.begin() + static_cast<std::ptrdiff_t>(valueStart), text_.end(), '.', ',');
    }
    text_ += "</Field>\r\n";
    flushIfFull();
  }

  // Called after each line, so that every piece ends with one.
  void flushIfFull() {
    if (text_.size() >= kBufferBytes) flush();
  }

  void flush() {
    sink_.writeTaking(text_);
    text_.reserve(kBufferBytes + kBufferBytes / 4);
  }

 private:
  static constexpr std::size_t kBufferBytes = std::size_t{64} * 1024;

  ByteSink& sink_;
  std::string text_;
};

class StringSink : public ByteSink {
 public:
  explicit StringSink(std::size_t estimate) { bytes_.reserve(estimate); }
  void write(std::string_view bytes) override { bytes_ += bytes; }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

std::size_t estimateSize(const rows::RowTable& lRows, const rows::RowTable& uRows) {
  std::size_t size = kFixedBytes + pageCount(lRows.size(), kLPage.slotsPerPage) * kLPageBytes +
                     pageCount(uRows.size(), kUPage.slotsPerPage) * kUPageBytes;
  for (const rows::RowTable* table : {&lRows, &uRows}) {
    for (const rows::PaymentRow& row : *table) {
      for (const std::string& value : row) size += value.size();
    }
  }
  return size;
}

void writeHeaderAndGroups(DeclarationText& out, std::size_t lPages, std::size_t uPages) {
  out.line(0, R"(<?xml version="1.0" encoding="UTF-8"?>)");
  out.line(0, R"x(<FFData Version="1" CreatedByApp="ABBYY eFormFiller 2.5 v6 (build 190)" )x"
              R"x(CreatedByLogin="Admin">)x");
  out.line(0, R"(<Form FormDefId="{DD0F88DD-A858-4595-AF2F-3643D0069A39}">)");
  out.line(0, "<DocumentPages>");
  out.line(2, R"(<Group Name="Visa forma">)");
  out.line(4, "<ListPages>");
  out.line(6, "<ListPage>KVD507</ListPage>");
  out.line(4, "</ListPages>");
  // One group per page, not one group listing the page several times.
  for (const auto& [kind, pages] : {std::pair{kLPage, lPages}, std::pair{kUPage, uPages}}) {
    for (std::size_t page = 0; page < pages; ++page) {
      out.line(4, "<Group Name=\"Priedas_" + std::string(kind.pageName) + "\">");
      out.line(6, "<ListPages>");
      out.line(8, "<ListPage>" + std::string(kind.pageName) + "</ListPage>");
      out.line(6, "</ListPages>");
      out.line(4, "</Group>");
    }
  }
  out.line(2, "</Group>");
  out.line(0, "</DocumentPages>");
  out.line(0, "<Pages Count=\"" + std::to_string(1 + lPages + uPages) + "\">");
}

void writeMainPage(DeclarationText& out, const DeclarationHeader& header) {
  out.line(2, R"(<Page PageDefName="KVD507" PageNumber="1">)");
  out.line(4, R"(<Fields Count="9">)");
  out.field(4, "B_MM_ID", rows::trim(header.id));
  out.field(4, "B_MM_Pavad", rows::trim(header.name), Ampersand::kAlreadyEscaped);
  out.field(4, "B_ML_Metai", rows::trim(header.year));
  for (std::string_view empty : {"G4", "G5", "G6", "G7", "B_FormNr", "B_FormVerNr"}) {
    out.field(4, empty, {});
  }
  out.line(4, "</Fields>");
  out.line(2, "</Page>");
}

// The start of every field of a page's slots, `        <Field Name="L8-3">` for column 8 of
// slot 3, at [(slot - 1) * columns + column - 1]: the same for every page, so made once.
std::vector<std::string> slotFieldOpenings(const AppendixKind& kind) {
  std::vector<std::string> openings;
  openings.reserve(kind.slotsPerPage * kind.columns);
  for (std::size_t slot = 1; slot <= kind.slotsPerPage; ++slot) {
    for (std::size_t column = 1; column <= kind.columns; ++column) {
      openings.push_back("        <Field Name=\"" + std::string(1, kind.columnLetter) +
                         std::to_string(column) + '-' + std::to_string(slot) + "\">");
    }
  }
  return openings;
}

void writeSlot(DeclarationText& out, const AppendixKind& kind,
               const std::vector<std::string>& openings, std::size_t slot,
               const rows::PaymentRow* row) {
  for (std::size_t column = 1; column <= kind.columns; ++column) {
    const std::size_t cell = kind.cellOf(column);
    const std::string_view value =
        row == nullptr || cell == kNoCell ? std::string_view() : std::string_view((*row)[cell]);
    out.slotField(openings[(slot - 1) * kind.columns + column - 1], value, cell);
  }
}

// Writes every page of one table; `pageNumber` goes on from the pages written before.
void writePages(DeclarationText& out, const AppendixKind& kind, const rows::RowTable& rows,
                std::size_t& pageNumber, const DeclarationHeader& header, WriterHost& host) {
  const std::size_t pages = pageCount(rows.size(), kind.slotsPerPage);
  const std::vector<std::string> openings = slotFieldOpenings(kind);
  rows::NumberedText statusText("Eksportuojame ", " įrašą");
  std::size_t recordIndex = 1;
  for (std::size_t page = 0; page < pages; ++page) {
    ++pageNumber;
    out.line(4, "<Page PageDefName=\"" + std::string(kind.pageName) + "\" PageNumber=\"" +
                    std::to_string(pageNumber) + "\">");
    out.line(6, "<Fields Count=\"" + std::string(kind.fieldCount) + "\">");
    for (std::size_t slot = 1; slot <= kind.slotsPerPage; ++slot) {
      if (recordIndex > rows.size()) {
        writeSlot(out, kind, openings, slot, nullptr);
        continue;
      }
      host.stepProgress();
      host.setStatus(statusText(recordIndex));
      host.processPendingEvents();
      writeSlot(out, kind, openings, slot, &rows[recordIndex - 1]);
      ++recordIndex;
    }
    // The main page's own payer and year: a page that named another would make the file two
    // declarations in one.
    out.field(8, "B_MM_ID", rows::trim(header.id));
    out.field(8, "B_ML_Metai", rows::trim(header.year));
    out.field(8, "B_FormNr", {});
    out.field(8, "B_FormVerNr", {});
    out.field(8, "LapoNr", std::to_string(pageNumber - 1));
    out.line(6, "</Fields>");
    out.line(4, "</Page>");
  }
}

}  // namespace

DeclarationHeader newDeclarationHeader(std::string_view code, std::string_view name,
                                       std::string_view year) {
  DeclarationHeader header;
  header.id = rows::trim(code);
  header.name = rows::escapeName(rows::upperCase(rows::trim(name)));
  header.year = rows::trim(year);
  return header;
}

void writeDeclaration(ByteSink& sink, const rows::RowTable& lRows, const rows::RowTable& uRows,
                      const DeclarationHeader& header, WriterHost& host) {
  const std::size_t total = lRows.size() + uRows.size();
  host.setProgressMaximum(static_cast<int>(total));
  host.setStatus("Iš viso: " + std::to_string(total));

  const std::size_t lPages = pageCount(lRows.size(), kLPage.slotsPerPage);
  const std::size_t uPages = pageCount(uRows.size(), kUPage.slotsPerPage);

  DeclarationText out(sink);
  writeHeaderAndGroups(out, lPages, uPages);
  writeMainPage(out, header);
  std::size_t pageNumber = 1;
  writePages(out, kLPage, lRows, pageNumber, header, host);
  writePages(out, kUPage, uRows, pageNumber, header, host);
  out.line(0, "</Pages>");
  out.line(0, "</Form>");
  out.line(0, "</FFData>");
  out.flush();
}

std::string buildDeclaration(const rows::RowTable& lRows, const rows::RowTable& uRows,
                             const DeclarationHeader& header, WriterHost& host) {
  StringSink sink(estimateSize(lRows, uRows));
  writeDeclaration(sink, lRows, uRows, header, host);
  return sink.take();
}

}  // namespace kvd507::declaration
