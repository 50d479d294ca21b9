#pragma once

#include <optional>
#include <string_view>

namespace kvd507::spreadsheet::xlsx {

// The 1900-system serial of an ISO 8601 date cell ("2024-03-01", "2024-03-01T13:30:00",
// "13:30:00"), or nothing when the text is not such a date or lies before 1900. A zone suffix
// is ignored: a sheet shows its dates as written.
std::optional<double> isoDateSerial(std::string_view text);

}  // namespace kvd507::spreadsheet::xlsx
