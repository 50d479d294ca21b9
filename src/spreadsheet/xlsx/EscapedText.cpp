#include "spreadsheet/xlsx/EscapedText.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "text/Hex.h"
#include "text/Utf8.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

constexpr std::size_t kEscapeLength = 7;  // _xHHHH_

std::optional<std::uint32_t> escapeAt(std::string_view text, std::size_t at) {
  if (at + kEscapeLength > text.size() || text[at] != '_' || text[at + 1] != 'x' ||
      text[at + 6] != '_') {
    return std::nullopt;
  }
  std::uint32_t value = 0;
  for (std::size_t i = at + 2; i < at + 6; ++i) {
    const int digit = text::hexDigitValue(text[i]);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return value;
}

}  // namespace

void decodeEscapes(std::string& text) {
  if (text.find("_x") == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto code = escapeAt(text, i);
    if (!code) {
      out += text[i++];
      continue;
    }
    i += kEscapeLength;
    std::uint32_t character = *code;
    if (text::isHighSurrogate(character)) {
      // Characters beyond the basic plane are escaped as a UTF-16 pair.
      const auto low = escapeAt(text, i);
      if (low && text::isLowSurrogate(*low)) {
        character = text::fromSurrogatePair(character, *low);
        i += kEscapeLength;
      } else {
        character = text::kReplacementCharacter;
      }
    } else if (text::isLowSurrogate(character)) {
      character = text::kReplacementCharacter;
    }
    text::appendUtf8(out, character);
  }
  text = std::move(out);
}

}  // namespace kvd507::spreadsheet::xlsx
