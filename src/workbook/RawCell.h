#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::workbook {

// One cell as a workbook file stores it, before it is turned into text. A formula cell is
// stored as its cached result.
struct RawCell {
  enum class Kind : std::uint8_t {
    Empty,
    Text,      // text holds the string, UTF-8
    Number,    // number holds the value
    DateTime,  // number holds a serial in the 1900 date system (1904 workbooks already shifted)
    Error,     // text says what: "#N/A", "#DIV/0!", "formula without a cached result", ...
  };

  Kind kind = Kind::Empty;
  double number = 0.0;
  std::string text;
  // A Text cell's text when the workbook keeps it once for every cell that uses it (a shared
  // string): referred to, never copied, since one long string may fill thousands of cells.
  // Valid while the row source that handed out the cell lives.
  std::string_view sharedText;
  bool shared = false;

  // The text of a Text cell, wherever it is kept.
  std::string_view textView() const { return shared ? sharedText : std::string_view(text); }
  void clear() {
    kind = Kind::Empty;
    number = 0.0;
    text.clear();
    sharedText = {};
    shared = false;
  }

  static RawCell makeText(std::string value) {
    return {Kind::Text, 0.0, std::move(value), {}, false};
  }
  static RawCell makeSharedText(std::string_view value) {
    return {Kind::Text, 0.0, {}, value, true};
  }
  static RawCell makeNumber(double value) { return {Kind::Number, value, {}, {}, false}; }
  static RawCell makeDateTime(double serial) { return {Kind::DateTime, serial, {}, {}, false}; }
  static RawCell makeError(std::string what) {
    return {Kind::Error, 0.0, std::move(what), {}, false};
  }
};

// The cells of one worksheet row that hold anything. cells[c - 1] is column c; columns past
// the end of the vector are empty.
struct RawRow {
  std::uint32_t number = 0;  // 1-based
  std::vector<RawCell> cells;
};

}  // namespace kvd507::workbook
