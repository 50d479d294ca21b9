#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::spreadsheet {

// One cell as a workbook file stores it, before it is turned into text. A formula cell is
// stored as its cached result.
struct RawCell {
  enum class Kind : std::uint8_t {
    Empty,
    Text,      // text holds the string, UTF-8
    Number,    // number holds the value
    DateTime,  // number holds a serial in the 1900 date system (1904 workbooks already shifted)
    Error,  // text says what: "#N/A", "#DIV/0!", "formulė be apskaičiuotos reikšmės (įrašykite
            // darbaknygę skaičiuoklėje)", ...
  };

  // The members are in this order so that a cell takes 64 bytes, one cache line's worth: rows
  // are made on one thread and read on another, and their bytes cross between the cores.
  Kind kind = Kind::Empty;
  // Whether a Text cell's text is sharedText: one the workbook keeps once for every cell that
  // uses it (a shared string), referred to, never copied, since one long string may fill
  // thousands of cells. Valid while the row source that handed out the cell lives.
  bool shared = false;
  // Whether a Number cell's format shows it as a percentage: 0.15 shown as "15%". Only the
  // rate column asks; the byte would be padding otherwise.
  bool percent = false;
  double number = 0.0;
  std::string text;
  std::string_view sharedText;

  // The text of a Text cell, wherever it is kept.
  std::string_view textView() const { return shared ? sharedText : std::string_view(text); }
  void clear() {
    kind = Kind::Empty;
    number = 0.0;
    text.clear();
    sharedText = {};
    shared = false;
    percent = false;
  }

  static RawCell makeText(std::string value) {
    return {Kind::Text, false, false, 0.0, std::move(value), {}};
  }
  static RawCell makeSharedText(std::string_view value) {
    return {Kind::Text, true, false, 0.0, {}, value};
  }
  static RawCell makeNumber(double value) { return {Kind::Number, false, false, value, {}, {}}; }
  static RawCell makePercent(double value) { return {Kind::Number, false, true, value, {}, {}}; }
  static RawCell makeDateTime(double serial) {
    return {Kind::DateTime, false, false, serial, {}, {}};
  }
  static RawCell makeError(std::string what) {
    return {Kind::Error, false, false, 0.0, std::move(what), {}};
  }
};
static_assert(sizeof(RawCell) <= 64);

// The cells of one worksheet row that hold anything. cells[c - 1] is column c; columns past
// the end of the vector are empty. A file may store one row for several equal rows below each
// other (.ods): the row then stands for rows `number` to `number + repeat - 1`, and is handed
// out once.
struct RawRow {
  std::uint32_t number = 0;  // 1-based
  std::uint32_t repeat = 1;
  std::vector<RawCell> cells;

  bool holds(std::uint32_t row) const { return row >= number && row - number < repeat; }
};

}  // namespace kvd507::spreadsheet
