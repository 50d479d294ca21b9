#pragma once

#include <cstdint>
#include <string>

namespace kvd507::spreadsheet::xls {

// The number an RK value stands for: a 30-bit integer or the top 30 bits of a double,
// divided by 100 when its lowest bit says so.
double decodeRk(std::uint32_t rk);

// The text a spreadsheet shows for a cell error code: "#DIV/0!", "#N/A", ...
std::string errorText(std::uint8_t code);

}  // namespace kvd507::spreadsheet::xls
