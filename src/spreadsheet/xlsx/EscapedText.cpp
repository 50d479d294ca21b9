#include "spreadsheet/xlsx/EscapedText.h"

#include <cstdint>
#include <optional>
#include <string_view>

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
    const char c = text[i];
    std::uint32_t digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<std::uint32_t>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<std::uint32_t>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<std::uint32_t>(c - 'A' + 10);
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return value;
}

void appendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

bool isHighSurrogate(std::uint32_t code) {
  return code >= 0xD800 && code <= 0xDBFF;
}
bool isLowSurrogate(std::uint32_t code) {
  return code >= 0xDC00 && code <= 0xDFFF;
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
    if (isHighSurrogate(character)) {
      // Characters beyond the basic plane are escaped as a UTF-16 pair.
      const auto low = escapeAt(text, i);
      if (low && isLowSurrogate(*low)) {
        character = 0x10000 + ((character - 0xD800) << 10) + (*low - 0xDC00);
        i += kEscapeLength;
      } else {
        character = 0xFFFD;
      }
    } else if (isLowSurrogate(character)) {
      character = 0xFFFD;
    }
    appendUtf8(out, character);
  }
  text = std::move(out);
}

}  // namespace kvd507::spreadsheet::xlsx
