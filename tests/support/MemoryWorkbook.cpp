#include "support/MemoryWorkbook.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <stdexcept>

#include "spreadsheet/WorkbookError.h"

namespace kvd507::test {
namespace {

using Rows = std::map<std::uint32_t, std::map<std::uint32_t, spreadsheet::RawCell>>;

class MemoryRows : public spreadsheet::RowSource {
 public:
  MemoryRows(Rows rows, std::uint32_t maxColumn, std::uint32_t damagedRow)
      : rows_(std::move(rows)), maxColumn_(maxColumn), damagedRow_(damagedRow) {
    next_ = rows_.begin();
  }

  bool next(spreadsheet::RawRow& row) override {
    for (; next_ != rows_.end(); ++next_) {
      if (damagedRow_ != 0 && next_->first >= damagedRow_) throwDamage();
      spreadsheet::RawRow candidate;
      candidate.number = next_->first;
      for (const auto& [column, cell] : next_->second) {
        if (column > maxColumn_) continue;
        if (candidate.cells.size() < column) candidate.cells.resize(column);
        candidate.cells[column - 1] = cell;
      }
      if (!candidate.cells.empty()) {
        row = std::move(candidate);
        ++next_;
        return true;
      }
    }
    if (damagedRow_ != 0) throwDamage();
    return false;
  }

 private:
  [[noreturn]] void throwDamage() const {
    throw spreadsheet::WorkbookError(ErrorKind::kWorkbookDamaged, {}, "damaged in memory");
  }

  Rows rows_;
  Rows::const_iterator next_;
  std::uint32_t maxColumn_;
  std::uint32_t damagedRow_;
};

class MemorySource : public spreadsheet::WorkbookSource {
 public:
  MemorySource(std::vector<std::string> names, std::map<std::string, Rows> sheets,
               std::map<std::string, std::uint32_t> damage)
      : names_(std::move(names)), sheets_(std::move(sheets)), damage_(std::move(damage)) {}

  const std::vector<std::string>& sheetNames() const override { return names_; }
  std::unique_ptr<spreadsheet::RowSource> openSheet(std::size_t index,
                                                    std::uint32_t maxColumn) override {
    const std::string& name = names_.at(index);
    const auto damage = damage_.find(name);
    return std::make_unique<MemoryRows>(sheets_.at(name), maxColumn,
                                        damage != damage_.end() ? damage->second : 0);
  }

 private:
  std::vector<std::string> names_;
  std::map<std::string, Rows> sheets_;
  std::map<std::string, std::uint32_t> damage_;
};

}  // namespace

MemoryWorkbook& MemoryWorkbook::sheet(const std::string& name) {
  if (std::find(names_.begin(), names_.end(), name) == names_.end()) names_.push_back(name);
  sheets_[name];
  return *this;
}

MemoryWorkbook& MemoryWorkbook::set(const std::string& sheet, std::uint32_t row,
                                    std::uint32_t column, spreadsheet::RawCell cell) {
  this->sheet(sheet);
  sheets_[sheet][row][column] = std::move(cell);
  return *this;
}

MemoryWorkbook& MemoryWorkbook::mergeDown(const std::string& sheet, std::uint32_t row,
                                          std::uint32_t column, std::uint32_t count) {
  this->sheet(sheet);
  merges_.push_back({sheet, row, column, count});
  return *this;
}

MemoryWorkbook& MemoryWorkbook::damage(const std::string& sheet, std::uint32_t row) {
  this->sheet(sheet);
  damage_[sheet] = row;
  return *this;
}

spreadsheet::Workbook MemoryWorkbook::open(const std::string& fileName) const {
  return spreadsheet::Workbook::fromSource(
      fileName, std::make_shared<MemorySource>(names_, sheets_, damage_));
}

void MemoryWorkbook::saveXlsx(const std::filesystem::path& file) const {
  lxw_workbook* book = workbook_new(file.c_str());
  if (book == nullptr) throw std::runtime_error("cannot create " + file.string());
  lxw_format* dateFormat = workbook_add_format(book);
  format_set_num_format(dateFormat, "yyyy-mm-dd");
  lxw_format* percentFormat = workbook_add_format(book);
  format_set_num_format(percentFormat, "0%");
  for (const std::string& name : names_) {
    lxw_worksheet* sheet = workbook_add_worksheet(book, name.c_str());
    // The merged range first, blank: the cells written below then fill its first cell.
    for (const Merge& merge : merges_) {
      if (merge.sheet != name) continue;
      const auto r = static_cast<lxw_row_t>(merge.row - 1);
      const auto c = static_cast<lxw_col_t>(merge.column - 1);
      worksheet_merge_range(sheet, r, c, static_cast<lxw_row_t>(r + merge.count - 1), c, "",
                            nullptr);
    }
    for (const auto& [row, cells] : sheets_.at(name)) {
      for (const auto& [column, cell] : cells) {
        const auto r = static_cast<lxw_row_t>(row - 1);
        const auto c = static_cast<lxw_col_t>(column - 1);
        switch (cell.kind) {
          case spreadsheet::RawCell::Kind::Empty:
            break;
          case spreadsheet::RawCell::Kind::Text:
            worksheet_write_string(sheet, r, c, cell.text.c_str(), nullptr);
            break;
          case spreadsheet::RawCell::Kind::Number:
            worksheet_write_number(sheet, r, c, cell.number,
                                   cell.percent ? percentFormat : nullptr);
            break;
          case spreadsheet::RawCell::Kind::DateTime:
            worksheet_write_number(sheet, r, c, cell.number, dateFormat);
            break;
          case spreadsheet::RawCell::Kind::Error:
            throw std::logic_error("error values cannot be written to .xlsx here");
        }
      }
    }
  }
  if (workbook_close(book) != LXW_NO_ERROR)
    throw std::runtime_error("cannot write " + file.string());
}

}  // namespace kvd507::test
