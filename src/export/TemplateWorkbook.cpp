#include "export/TemplateWorkbook.h"

#include <xlsxwriter.h>

#include <memory>

#include "export/TemplateLayout.h"

namespace kvd507::exports {
namespace {

// The origin line stands right of the title, in the first column the title's text no longer
// runs into.
constexpr lxw_col_t kOriginColumn = 5;  // F
constexpr std::uint8_t kTextFormat = 49;
constexpr std::uint8_t kAmountFormat = 2;
constexpr lxw_color_t kHeadingFill = 0xDDE6F0;
constexpr lxw_color_t kHeadingBorder = 0x808080;

struct Formats {
  lxw_format* title;
  lxw_format* heading;
  lxw_format* text;
  lxw_format* date;
  lxw_format* amount;
};

Formats makeFormats(lxw_workbook* book) {
  Formats formats{};
  formats.title = workbook_add_format(book);
  format_set_bold(formats.title);
  format_set_font_size(formats.title, 13);
  formats.heading = workbook_add_format(book);
  format_set_bold(formats.heading);
  format_set_pattern(formats.heading, LXW_PATTERN_SOLID);
  format_set_bg_color(formats.heading, kHeadingFill);
  format_set_border(formats.heading, LXW_BORDER_THIN);
  format_set_border_color(formats.heading, kHeadingBorder);
  format_set_align(formats.heading, LXW_ALIGN_CENTER);
  format_set_align(formats.heading, LXW_ALIGN_VERTICAL_CENTER);
  format_set_text_wrap(formats.heading);
  formats.text = workbook_add_format(book);
  format_set_num_format_index(formats.text, kTextFormat);
  formats.date = workbook_add_format(book);
  format_set_num_format(formats.date, "yyyy-mm-dd");
  formats.amount = workbook_add_format(book);
  format_set_num_format_index(formats.amount, kAmountFormat);
  return formats;
}

lxw_format* columnFormat(const Formats& formats, ColumnFormat format) {
  switch (format) {
    case ColumnFormat::kGeneral:
      return nullptr;
    case ColumnFormat::kText:
      return formats.text;
    case ColumnFormat::kDate:
      return formats.date;
    case ColumnFormat::kAmount:
      return formats.amount;
  }
  return nullptr;
}

void writeHeadings(lxw_worksheet* sheet, const TemplateSheet& layout, const Formats& formats,
                   const WorkbookOrigin& origin) {
  worksheet_write_string(sheet, kTitleRow - 1, 0, layout.title.c_str(), formats.title);
  worksheet_write_string(sheet, kTitleRow - 1, kOriginColumn, originLine(origin).c_str(), nullptr);
  for (const HeadingCell& cell : layout.headings) {
    if (cell.merged()) {
      worksheet_merge_range(sheet, cell.row - 1, cell.column - 1, cell.lastRow - 1,
                            cell.lastColumn - 1, cell.text.c_str(), formats.heading);
    } else {
      worksheet_write_string(sheet, cell.row - 1, cell.column - 1, cell.text.c_str(),
                             formats.heading);
    }
  }
  worksheet_set_row(sheet, 2, kTallHeadingRowHeight, nullptr);
  worksheet_set_row(sheet, 3, kTallHeadingRowHeight, nullptr);
}

// libxlsxwriter adds the cell padding (5 pixels of a 7-pixel digit) to the width it is given;
// the template's widths are the ones stored, padding included.
double fileWidth(double storedWidth) {
  return storedWidth - 5.0 / 7.0;
}

void setUpSheet(lxw_worksheet* sheet, const TemplateSheet& layout, const Formats& formats) {
  for (std::size_t i = 0; i < layout.columns.size(); ++i) {
    const auto column = static_cast<lxw_col_t>(i);
    worksheet_set_column(sheet, column, column, fileWidth(layout.columns[i].width),
                         columnFormat(formats, layout.columns[i].format));
  }
  // As the template: the headings and the names stay in sight, and are printed on every page.
  worksheet_freeze_panes(sheet, kLastHeadingRow, 2);
  worksheet_repeat_rows(sheet, 0, kLastHeadingRow - 1);
  worksheet_set_landscape(sheet);
  worksheet_fit_to_pages(sheet, 1, 0);
  worksheet_set_margins(sheet, 0.75, 0.75, 1, 1);
}

void writeRows(lxw_worksheet* sheet, const TemplateRows& rows, const Formats& formats) {
  lxw_row_t row = intake::kFirstDataRow - 1;
  for (const std::vector<TemplateCell>& cells : rows) {
    for (const TemplateCell& cell : cells) {
      const auto column = static_cast<lxw_col_t>(cell.column - 1);
      if (cell.amount) {
        worksheet_write_number(sheet, row, column, *cell.amount, formats.amount);
      } else {
        worksheet_write_string(sheet, row, column, cell.text.c_str(), formats.text);
      }
    }
    ++row;
  }
}

void setProperties(lxw_workbook* book, const WorkbookOrigin& origin) {
  const std::string title = "KVD507: " + origin.payerName + ", " + origin.year;
  const std::string comments =
      "Darbaknygė parengta iš formos " + origin.declaration + ". " + originLine(origin) + ".";
  lxw_doc_properties properties{};
  properties.title = const_cast<char*>(title.c_str());
  properties.subject = const_cast<char*>("KVD507");
  properties.author = const_cast<char*>("kvd507");
  properties.company = const_cast<char*>(origin.payerName.c_str());
  properties.comments = const_cast<char*>(comments.c_str());
  workbook_set_properties(book, &properties);
  workbook_set_custom_property_string(book, "Išmokų mokėtojo kodas", origin.payerCode.c_str());
  workbook_set_custom_property_string(book, "Išmokų mokėtojas", origin.payerName.c_str());
  workbook_set_custom_property_string(book, "Mokestinis laikotarpis", origin.year.c_str());
  workbook_set_custom_property_string(book, "Forma", origin.declaration.c_str());
}

}  // namespace

std::string originLine(const WorkbookOrigin& origin) {
  return "Išmokų mokėtojas: " + origin.payerName + " (" + origin.payerCode +
         "), mokestinis laikotarpis: " + origin.year;
}

void writeTemplateWorkbook(const std::filesystem::path& file, const WorkbookOrigin& origin,
                           const TemplateRows& lRows, const TemplateRows& uRows) {
  lxw_workbook_options options{};
  const std::string folder = file.parent_path().empty() ? "." : file.parent_path().string();
  // The library's own temporary files go beside the workbook, not to a /tmp that may be small.
  options.tmpdir = const_cast<char*>(folder.c_str());
  lxw_workbook* book = workbook_new_opt(file.c_str(), &options);
  if (book == nullptr) {
    throw Error(ErrorKind::kFileSystem, ErrorPlace(file.string()), "workbook_new_opt failed");
  }
  const Formats formats = makeFormats(book);
  setProperties(book, origin);
  for (const auto& [layout, rows] : {std::pair{&lTemplate(), &lRows}, {&uTemplate(), &uRows}}) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, std::string(layout->layout->name).c_str());
    setUpSheet(sheet, *layout, formats);
    writeHeadings(sheet, *layout, formats, origin);
    writeRows(sheet, *rows, formats);
  }
  if (const lxw_error error = workbook_close(book); error != LXW_NO_ERROR) {
    throw Error(error == LXW_ERROR_CREATING_TMPFILE || error == LXW_ERROR_CREATING_XLSX_FILE
                    ? ErrorKind::kFileSystem
                    : ErrorKind::kInternal,
                ErrorPlace(file.string()), lxw_strerror(error));
  }
}

}  // namespace kvd507::exports
