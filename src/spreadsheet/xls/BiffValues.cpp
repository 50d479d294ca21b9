#include "spreadsheet/xls/BiffValues.h"

#include <array>
#include <bit>
#include <cstdio>

namespace kvd507::spreadsheet::xls {

double decodeRk(std::uint32_t rk) {
  double value = 0.0;
  if ((rk & 0x02) != 0) {
    // Arithmetic shift keeps the sign of the 30-bit integer.
    value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    value = std::bit_cast<double>(static_cast<std::uint64_t>(rk & 0xFFFFFFFCu) << 32);
  }
  return (rk & 0x01) != 0 ? value / 100.0 : value;
}

std::string errorText(std::uint8_t code) {
  switch (code) {
    case 0x00:
      return "#NULL!";
    case 0x07:
      return "#DIV/0!";
    case 0x0F:
      return "#VALUE!";
    case 0x17:
      return "#REF!";
    case 0x1D:
      return "#NAME?";
    case 0x24:
      return "#NUM!";
    case 0x2A:
      return "#N/A";
    case 0x2B:
      return "#GETTING_DATA";
    default: {
      std::array<char, 32> text{};
      std::snprintf(text.data(), text.size(), "error value 0x%02X", code);
      return text.data();
    }
  }
}

}  // namespace kvd507::spreadsheet::xls
