#include "spreadsheet/xls/BiffSheet.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/xls/BiffError.h"
#include "spreadsheet/xls/BiffRecords.h"
#include "spreadsheet/xls/BiffValues.h"
#include "spreadsheet/xls/StringPool.h"

namespace kvd507::spreadsheet::xls {
namespace {

constexpr double kDays1904 = 1462.0;  // from 1900-01-00 to 1904-01-01 in the 1900 system
constexpr std::string_view kMissingSharedString =
    "the cell refers to a shared string the file does not have";
constexpr std::string_view kNoCachedResult =
    "formulė be apskaičiuotos reikšmės (įrašykite darbaknygę skaičiuoklėje)";
// Asking whether to stop costs an atomic read; records are many and quick.
constexpr std::size_t kRecordsBetweenStopChecks = 4096;

// A cell as kept between reading the sheet and handing out its row: small, with strings
// referred to rather than copied, since one shared string may fill thousands of cells.
struct StoredCell {
  enum class Kind : std::uint8_t {
    Number,
    Percent,  // a number whose format shows it as a percentage
    DateTime,
    SharedText,  // index into the workbook's shared strings
    OwnText,     // index into the sheet's own strings
    Error,       // index is the error code
    MissingSharedString,
    NoCachedResult,
  };

  std::uint32_t row = 0;  // 0-based, as stored
  std::uint16_t column = 0;
  Kind kind = Kind::Number;
  std::uint32_t index = 0;
  double number = 0.0;

  std::uint32_t key() const { return row << 16 | column; }
};

class SheetRows final : public RowSource {
 public:
  SheetRows(const BiffGlobals& globals, StringPool ownStrings, std::vector<StoredCell> cells)
      : globals_(globals), ownStrings_(std::move(ownStrings)), cells_(std::move(cells)) {}

  bool next(RawRow& row) override {
    if (position_ == cells_.size()) return false;
    const std::uint32_t number = cells_[position_].row;
    std::size_t end = position_;
    while (end < cells_.size() && cells_[end].row == number) ++end;
    row.number = number + 1;
    row.cells.assign(cells_[end - 1].column + std::size_t{1}, RawCell{});
    for (; position_ < end; ++position_) {
      row.cells[cells_[position_].column] = cell(cells_[position_]);
    }
    return true;
  }

 private:
  RawCell cell(const StoredCell& stored) const {
    switch (stored.kind) {
      case StoredCell::Kind::Number:
        return RawCell::makeNumber(stored.number);
      case StoredCell::Kind::Percent:
        return RawCell::makePercent(stored.number);
      case StoredCell::Kind::DateTime:
        return RawCell::makeDateTime(stored.number);
      case StoredCell::Kind::SharedText:
        return RawCell::makeSharedText(globals_.sharedStrings.at(stored.index));
      case StoredCell::Kind::OwnText:
        return RawCell::makeSharedText(ownStrings_.at(stored.index));
      case StoredCell::Kind::Error:
        return RawCell::makeError(errorText(static_cast<std::uint8_t>(stored.index)));
      case StoredCell::Kind::MissingSharedString:
        return RawCell::makeError(std::string(kMissingSharedString));
      case StoredCell::Kind::NoCachedResult:
        return RawCell::makeError(std::string(kNoCachedResult));
    }
    return {};
  }

  const BiffGlobals& globals_;
  StringPool ownStrings_;
  std::vector<StoredCell> cells_;
  std::size_t position_ = 0;
};

// Collects a sheet's cells record by record.
class SheetParser {
 public:
  SheetParser(const BiffGlobals& globals, std::uint32_t maxColumn, std::size_t mostCells)
      : globals_(globals), maxColumn_(maxColumn) {
    // Room for every cell the records can hold, so that the cells are never moved as they
    // come: each move would touch new memory, which the system hands out page by page, for
    // all the cells so far. Room never used costs no memory.
    try {
      cells_.reserve(mostCells);
    } catch (const std::bad_alloc&) {
      // Then the cells are moved as they grow.
    }
  }

  void record(const BiffRecord& record);
  std::unique_ptr<RowSource> finish();

 private:
  struct Place {
    std::uint16_t row;
    std::uint16_t column;
    std::uint16_t xf;
  };

  static Place place(BiffCursor& in) {
    const std::uint16_t row = in.u16();
    const std::uint16_t column = in.u16();
    return {row, column, in.u16()};
  }
  bool kept(const Place& at) const { return at.column < maxColumn_; }

  void number(const Place& at, double value);
  void formula(BiffCursor& in);
  void multipleRk(const BiffRecord& record);
  void add(const Place& at, StoredCell::Kind kind, std::uint32_t index = 0, double value = 0.0);
  void compact();

  const BiffGlobals& globals_;
  std::uint32_t maxColumn_;
  StringPool ownStrings_;
  std::vector<StoredCell> cells_;
  std::size_t compactAt_ = kFirstCompaction;
  // Whether every cell so far came after the one before it: each place once, in order.
  bool inOrder_ = true;
  // The cell of a formula whose string result comes in the STRING record after it.
  std::optional<std::size_t> pendingString_;

  static constexpr std::size_t kFirstCompaction = 4096;
};

void SheetParser::record(const BiffRecord& record) {
  BiffCursor in(record);
  switch (record.type) {
    case record::kString:
      if (pendingString_) {
        cells_[*pendingString_].index = ownStrings_.add(in.unicodeString());
        pendingString_.reset();
      }
      return;
    case record::kShrFmla:
    case record::kArray:
    case record::kTable:
      return;  // may stand between a formula and its STRING record
    default:
      break;
  }
  if (pendingString_) {
    cells_[*pendingString_].kind = StoredCell::Kind::NoCachedResult;
    pendingString_.reset();
  }
  switch (record.type) {
    case record::kNumber: {
      const Place at = place(in);
      number(at, in.f64());
      break;
    }
    case record::kRk: {
      const Place at = place(in);
      number(at, decodeRk(in.u32()));
      break;
    }
    case record::kMulRk:
      multipleRk(record);
      break;
    case record::kLabelSst: {
      const Place at = place(in);
      const std::uint32_t index = in.u32();
      if (index < globals_.sharedStrings.size()) {
        add(at, StoredCell::Kind::SharedText, index);
      } else {
        add(at, StoredCell::Kind::MissingSharedString);
      }
      break;
    }
    case record::kLabel:
    case record::kRString: {
      const Place at = place(in);
      if (kept(at)) add(at, StoredCell::Kind::OwnText, ownStrings_.add(in.unicodeString()));
      break;
    }
    case record::kBoolErr: {
      const Place at = place(in);
      const std::uint8_t value = in.u8();
      if (in.u8() != 0) {
        add(at, StoredCell::Kind::Error, value);
      } else {
        add(at, StoredCell::Kind::Number, 0, value != 0 ? 1.0 : 0.0);
      }
      break;
    }
    case record::kFormula:
      formula(in);
      break;
    default:
      break;  // BLANK and MULBLANK among them: empty cells are not kept
  }
}

void SheetParser::number(const Place& at, double value) {
  switch (globals_.shape(at.xf)) {
    case NumberShape::Date:
      add(at, StoredCell::Kind::DateTime, 0, globals_.date1904 ? value + kDays1904 : value);
      break;
    case NumberShape::Percent:
      add(at, StoredCell::Kind::Percent, 0, value);
      break;
    case NumberShape::Plain:
      add(at, StoredCell::Kind::Number, 0, value);
      break;
  }
}

void SheetParser::formula(BiffCursor& in) {
  const Place at = place(in);
  std::array<std::uint8_t, 8> result{};
  for (auto& byte : result) byte = in.u8();
  if (result[6] != 0xFF || result[7] != 0xFF) {
    number(at, std::bit_cast<double>(result));
    return;
  }
  switch (result[0]) {
    case 0:  // a string, in the STRING record that follows
      add(at, StoredCell::Kind::OwnText);
      if (kept(at)) pendingString_ = cells_.size() - 1;
      break;
    case 1:
      add(at, StoredCell::Kind::Number, 0, result[2] != 0 ? 1.0 : 0.0);
      break;
    case 2:
      add(at, StoredCell::Kind::Error, result[2]);
      break;
    case 3:
      add(at, StoredCell::Kind::OwnText, ownStrings_.add(""));
      break;
    default:
      add(at, StoredCell::Kind::NoCachedResult);
      break;
  }
}

void SheetParser::multipleRk(const BiffRecord& record) {
  std::size_t length = 0;
  for (const auto part : record.parts) length += part.size();
  // Row, first column, then six bytes per cell, then the last column.
  if (length < 6 || (length - 6) % 6 != 0) {
    throw BiffError("a MULRK record has a wrong length", record.offset);
  }
  BiffCursor in(record);
  const std::uint16_t row = in.u16();
  const std::uint16_t first = in.u16();
  const std::size_t count = (length - 6) / 6;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint16_t xf = in.u16();
    const double value = decodeRk(in.u32());
    const std::size_t column = first + i;
    if (column >= maxColumn_) break;
    number({row, static_cast<std::uint16_t>(column), xf}, value);
  }
}

void SheetParser::add(const Place& at, StoredCell::Kind kind, std::uint32_t index, double value) {
  if (!kept(at)) return;
  if (cells_.size() >= compactAt_) compact();
  cells_.push_back({at.row, at.column, kind, index, value});
  // Spreadsheet applications store cells row by row, left to right; then there is nothing to
  // sort or drop.
  if (cells_.size() > 1 && !(cells_[cells_.size() - 2].key() < cells_.back().key())) {
    inOrder_ = false;
  }
}

// Sorts the cells and drops all but the last of each place. Done now and then while reading,
// so that a sheet that stores the same cells again and again does not grow without end.
void SheetParser::compact() {
  if (inOrder_) {
    compactAt_ = std::max(kFirstCompaction, 2 * cells_.size());
    return;
  }
  std::stable_sort(cells_.begin(), cells_.end(),
                   [](const StoredCell& a, const StoredCell& b) { return a.key() < b.key(); });
  std::size_t kept = 0;
  for (const StoredCell& cell : cells_) {
    if (kept > 0 && cells_[kept - 1].key() == cell.key()) {
      cells_[kept - 1] = cell;
    } else {
      cells_[kept++] = cell;
    }
  }
  cells_.resize(kept);
  inOrder_ = true;
  compactAt_ = std::max(kFirstCompaction, 2 * cells_.size());
}

std::unique_ptr<RowSource> SheetParser::finish() {
  if (pendingString_) cells_[*pendingString_].kind = StoredCell::Kind::NoCachedResult;
  pendingString_.reset();
  compact();
  return std::make_unique<SheetRows>(globals_, std::move(ownStrings_), std::move(cells_));
}

// The most cells the records from `offset` to the next worksheet, or to the end of the stream,
// can hold: a MULRK record stores one in 6 bytes.
std::size_t mostCells(std::string_view stream, const BiffGlobals& globals, std::uint32_t offset) {
  std::size_t end = stream.size();
  for (const BiffGlobals::SheetEntry& sheet : globals.worksheets) {
    if (sheet.offset > offset && sheet.offset < end) end = sheet.offset;
  }
  return end > offset ? (end - offset) / 6 : 0;
}

}  // namespace

std::unique_ptr<RowSource> readBiffSheet(std::string_view stream, const BiffGlobals& globals,
                                         std::uint32_t offset, std::uint32_t maxColumn,
                                         const std::stop_token& stop) {
  BiffRecordReader reader(stream, offset);
  BiffRecord record;
  if (!reader.next(record) || record.type != record::kBof) {
    throw BiffError("the sheet's records do not start where the workbook says", offset);
  }
  SheetParser parser(globals, maxColumn, mostCells(stream, globals, offset));
  // Charts drawn on the sheet bring their own BOF ... EOF records along.
  std::size_t depth = 0;
  std::size_t untilStopCheck = kRecordsBetweenStopChecks;
  while (reader.next(record)) {
    if (--untilStopCheck == 0) {
      if (stop.stop_requested()) return nullptr;
      untilStopCheck = kRecordsBetweenStopChecks;
    }
    if (record.type == record::kBof) {
      ++depth;
    } else if (record.type == record::kEof) {
      if (depth == 0) return parser.finish();
      --depth;
    } else if (depth == 0) {
      parser.record(record);
    }
  }
  throw BiffError("the sheet's records end before its EOF record", stream.size());
}

}  // namespace kvd507::spreadsheet::xls
