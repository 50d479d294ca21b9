#include "errors/Error.h"

#include <new>
#include <utility>

namespace kvd507 {

std::string placeText(const ErrorPlace& place, std::string_view namedAlready) {
  std::string text;
  const auto add = [&text](const std::string& part) {
    if (!text.empty()) text += ", ";
    text += part;
  };
  if (!place.file.empty() && place.file != namedAlready) add("failas \"" + place.file + "\"");
  if (!place.sheet.empty()) add("lapas \"" + place.sheet + "\"");
  if (place.row != 0) add("eilutė " + std::to_string(place.row));
  if (place.column != 0) add("stulpelis " + columnName(place.column));
  if (place.offset) add("baitas " + std::to_string(*place.offset));
  return text;
}

Error::Error(ErrorKind kind, ErrorPlace place, std::string detail, std::uint64_t limit)
    : kind_(kind), place_(std::move(place)), detail_(std::move(detail)), limit_(limit) {
  refresh();
}

Error& Error::setFile(std::string file) {
  place_.file = std::move(file);
  refresh();
  return *this;
}

Error& Error::setSheet(std::string sheet) {
  place_.sheet = std::move(sheet);
  refresh();
  return *this;
}

Error& Error::setRow(std::uint32_t row) {
  place_.row = row;
  refresh();
  return *this;
}

Error& Error::setColumn(std::uint32_t column) {
  place_.column = column;
  refresh();
  return *this;
}

Error& Error::setDetail(std::string detail) {
  detail_ = std::move(detail);
  refresh();
  return *this;
}

Error& Error::setLimit(std::uint64_t bytes) {
  limit_ = bytes;
  refresh();
  return *this;
}

std::string Error::cause(std::string_view namedAlready) const {
  const std::string where = placeText(place_, namedAlready);
  const std::string why = reasonText(kind_, limit_);
  return where.empty() ? why : where + ": " + why;
}

void Error::refresh() {
  what_ = cause();
  if (!detail_.empty()) what_ += " (" + detail_ + ")";
}

Error currentError() {
  try {
    throw;
  } catch (const Error& e) {
    return e;
  } catch (const std::bad_alloc&) {
    return {ErrorKind::kOutOfMemory, {}};
  } catch (const std::exception& e) {
    return {ErrorKind::kInternal, {}, e.what()};
  } catch (...) {
    return {ErrorKind::kInternal, {}};
  }
}

std::string oneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 32) c = ' ';
  }
  return line;
}

std::string columnName(std::uint32_t column) {
  std::string name;
  while (column > 0) {
    --column;
    name.insert(name.begin(), static_cast<char>('A' + column % 26));
    column /= 26;
  }
  return name;
}

std::string sizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kKiB = 1024;
  constexpr std::uint64_t kMiB = kKiB * 1024;
  constexpr std::uint64_t kGiB = kMiB * 1024;
  if (bytes >= kGiB && bytes % kGiB == 0) return std::to_string(bytes / kGiB) + " GiB";
  if (bytes >= kMiB && bytes % kMiB == 0) return std::to_string(bytes / kMiB) + " MiB";
  if (bytes >= kKiB && bytes % kKiB == 0) return std::to_string(bytes / kKiB) + " KiB";
  return std::to_string(bytes) + " B";
}

}  // namespace kvd507
