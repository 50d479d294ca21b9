// Writes the large workbook that the reading benchmarks use:
//   make_bench_workbook OUTPUT.xlsx [L_ROWS [U_ROWS]]
#include <charconv>
#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>
#include <string_view>

#include "BenchWorkbook.h"

namespace {

std::optional<std::uint32_t> parseCount(std::string_view text) {
  std::uint32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int usage() {
  std::cerr << "usage: make_bench_workbook OUTPUT.xlsx [L_ROWS [U_ROWS]]\n"
            << "  L_ROWS defaults to " << kvd507::bench::kDefaultLRows << ", U_ROWS to "
            << kvd507::bench::kDefaultURows << "\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) return usage();
  std::uint32_t lRows = kvd507::bench::kDefaultLRows;
  std::uint32_t uRows = kvd507::bench::kDefaultURows;
  if (argc > 2) {
    const auto count = parseCount(argv[2]);
    if (!count) return usage();
    lRows = *count;
  }
  if (argc > 3) {
    const auto count = parseCount(argv[3]);
    if (!count) return usage();
    uRows = *count;
  }
  // Excel's sheets end at row 1,048,576, and the data starts at row 6.
  constexpr std::uint32_t kMaxRows = 1'048'576 - 5;
  if (lRows > kMaxRows || uRows > kMaxRows) {
    std::cerr << "make_bench_workbook: at most " << kMaxRows << " rows per sheet\n";
    return 2;
  }
  try {
    kvd507::bench::writeBenchWorkbook(argv[1], lRows, uRows);
  } catch (const std::exception& e) {
    std::cerr << "make_bench_workbook: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
