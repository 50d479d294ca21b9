#include "intake/ReadStops.h"

#include <utility>

#include "errors/Error.h"

namespace kvd507::intake {
namespace {

constexpr std::string_view kStopped = "skaitymas sustojo: ";
constexpr std::string_view kRowsBelowNotRead = "; įrašai žemiau šios vietos neperskaityti";

}  // namespace

rows::Finding readStopFinding(std::string sheet, std::uint32_t row, std::uint32_t column,
                              const std::string& cause, const std::string& detail) {
  std::string text(kStopped);
  text += cause;
  if (!detail.empty()) text += " (" + detail + ")";
  text += kRowsBelowNotRead;
  return {rows::Finding::Kind::ReadStopped, std::move(sheet), row,
          column != 0 ? columnName(column) : std::string(), std::move(text)};
}

std::string readStopWarning(const rows::Finding& stop) {
  // The finding's text is readStopFinding's: the cause and the cell's value stand between the
  // two fixed parts.
  std::string_view why = stop.text;
  if (why.starts_with(kStopped)) why.remove_prefix(kStopped.size());
  if (why.ends_with(kRowsBelowNotRead)) why.remove_suffix(kRowsBelowNotRead.size());
  rows::Finding warning = stop;
  warning.text = why;
  return std::string(kStopped) + warning.describe();
}

void ReadStops::add(rows::Finding finding) {
  if (finding.kind == rows::Finding::Kind::ReadStopped) stops_.push_back(std::move(finding));
}

}  // namespace kvd507::intake
