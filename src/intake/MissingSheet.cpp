#include "intake/MissingSheet.h"

#include <algorithm>
#include <cstddef>

#include "rows/Text.h"

namespace kvd507::intake {
namespace {

// Lower-case letters and digits only: case, spaces and punctuation make no name different.
std::string folded(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c == ' ' || c == '_' || c == '-' || c == '.') continue;
    out += c;
  }
  return out;
}

std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t change = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, change});
    }
    std::swap(previous, current);
  }
  return previous[b.size()];
}

bool isClose(std::string_view wanted, std::string_view name) {
  const std::string a = folded(wanted);
  const std::string b = folded(name);
  if (a.empty() || b.empty()) return false;
  if (b.starts_with(a)) return true;  // "KVD507 L (2023)"
  return editDistance(a, b) <= 2;
}

std::string quotedList(const std::vector<std::string>& names, const char* separator) {
  std::string list;
  for (std::size_t i = 0; i < names.size(); ++i) {
    list += (i == 0 ? "" : std::string(separator)) + rows::quotedValue(names[i]);
  }
  return list;
}

}  // namespace

std::vector<std::string> closeSheetNames(std::string_view wanted,
                                         const std::vector<std::string>& present,
                                         const std::vector<std::string_view>& taken) {
  std::vector<std::string> close;
  for (const std::string& name : present) {
    if (std::find(taken.begin(), taken.end(), name) != taken.end()) continue;
    if (isClose(wanted, name)) close.push_back(name);
  }
  return close;
}

rows::Finding missingSheetFinding(std::string_view wanted, const std::vector<std::string>& present,
                                  const std::vector<std::string_view>& taken) {
  std::string text = "tokio lapo darbaknygėje nėra, jo eilutės neperskaitytos";
  if (!present.empty()) text += "; darbaknygėje yra lapai: " + quotedList(present, ", ");
  const std::vector<std::string> close = closeSheetNames(wanted, present, taken);
  if (!close.empty()) text += "; gal tai " + quotedList(close, " ar ") + "?";
  return {rows::Finding::Kind::MissingSheet, std::string(wanted), 0, {}, std::move(text)};
}

}  // namespace kvd507::intake
