#include "rows/Text.h"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/stringpiece.h>

#include <algorithm>
#include <new>

namespace kvd507::rows {
namespace {

bool isBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}
bool isAscii(char c) {
  return static_cast<unsigned char>(c) < 0x80;
}
bool isContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

}  // namespace

std::string_view trim(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

void makeControlsSpaces(std::string& text) {
  for (char& c : text) {
    const bool control = static_cast<unsigned char>(c) < 32;
    if (control && c != '\n' && c != '\r' && c != '\t') c = ' ';
  }
}

std::string upperCase(std::string_view text) {
  std::string upper(text);
  makeUpperCase(upper);
  return upper;
}

void makeUpperCase(std::string& text) {
  // Every name of a workbook comes through here; one of ASCII alone needs no call into ICU.
  if (std::all_of(text.begin(), text.end(), [](char c) { return isAscii(c); })) {
    for (char& c : text) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return;
  }
  // The capitals are made in a buffer kept by the thread and copied back, so that a name costs
  // no allocation once the buffers are large enough.
  thread_local std::string upper;
  upper.clear();
  icu::StringByteSink<std::string> sink(&upper, static_cast<int32_t>(text.size()));
  UErrorCode status = U_ZERO_ERROR;
  // "" is the root locale: Lithuanian or Turkish rules of a user's locale do not apply.
  icu::CaseMap::utf8ToUpper("", 0, icu::StringPiece(text.data(), static_cast<int32_t>(text.size())),
                            sink, nullptr, status);
  if (U_FAILURE(status)) throw std::bad_alloc();  // ICU fails here only when memory runs out
  text.assign(upper);
}

std::string escapeName(std::string_view text) {
  // Most names have nothing to escape: they are copied as they are.
  // (A loop of its own: find_first_of would look each byte up in the list with a call.)
  if (std::none_of(text.begin(), text.end(), [](char c) { return c == '&' || c == '"'; })) {
    return std::string(text);
  }
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    if (c == '&') {
      escaped += "&amp;";
    } else if (c == '"') {
      escaped += "&quot;";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

std::size_t characterCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) {
    if (!isContinuationByte(c)) ++count;
  }
  return count;
}

std::string_view firstCharacters(std::string_view text, std::size_t count) {
  std::size_t end = 0;
  std::size_t seen = 0;
  while (end < text.size()) {
    if (!isContinuationByte(text[end])) {
      if (seen == count) break;
      ++seen;
    }
    ++end;
  }
  return text.substr(0, end);
}

std::string quotedValue(std::string_view text) {
  if (characterCount(text) <= kQuotedCharacters) return "\"" + std::string(text) + "\"";
  return "\"" + std::string(firstCharacters(text, kQuotedCharacters)) + "…\"";
}

}  // namespace kvd507::rows
