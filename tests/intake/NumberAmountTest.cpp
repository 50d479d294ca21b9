#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <optional>

#include "intake/NumberAmount.h"
#include "rows/Amount.h"
#include "spreadsheet/CellText.h"

namespace kvd507::intake {
namespace {

using spreadsheet::numberText;

TEST(NumberAsAmount, GivesWhatThePrintedNumberReadsAs) {
  const double values[] = {0.0,       -0.0,  12.5,  -1234.56,         0.1 + 0.2,     6770.2,
                           1e-7,      1e20,  -1e13, 9999999999999.99, 38001010000.0, 0.125,
                           1.0 / 3.0, 2.675, -0.05, 1234567890123.456};
  for (const char separator : {',', '.', 'x'}) {
    for (const double value : values) {
      const std::optional<double> read = rows::readAmount(numberText(value, separator));
      const std::optional<double> quick = numberAsAmount(value, separator);
      ASSERT_EQ(quick.has_value(), read.has_value()) << value << separator;
      if (!read) continue;
      EXPECT_EQ(std::bit_cast<std::uint64_t>(*quick), std::bit_cast<std::uint64_t>(*read))
          << value << separator;
    }
  }
}

}  // namespace
}  // namespace kvd507::intake
