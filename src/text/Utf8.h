#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kvd507::text {

// One character decoded from UTF-8; a length of 0 means the bytes there are not valid UTF-8
// (overlong forms, surrogates, code points above U+10FFFF and cut-off sequences included).
struct Utf8Character {
  char32_t code = 0;
  std::size_t length = 0;
};

Utf8Character decodeUtf8(std::string_view text, std::size_t at);

// Byte offset of the first byte that does not begin a valid character, if any.
std::optional<std::size_t> firstInvalidUtf8(std::string_view text);

// Surrogates, which UTF-16 pairs to write characters beyond U+FFFF and which UTF-8 cannot carry.
constexpr bool isHighSurrogate(char32_t code) {
  return code >= 0xD800 && code <= 0xDBFF;
}
constexpr bool isLowSurrogate(char32_t code) {
  return code >= 0xDC00 && code <= 0xDFFF;
}
constexpr char32_t fromSurrogatePair(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

// What a character that cannot be written as it stands becomes.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Writes `code` (at most U+10FFFF) into `out`, which has room for four bytes, and returns how
// many it wrote. In the header, as the workbook readers call it for every character they decode.
inline std::size_t encodeUtf8(char32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

inline void appendUtf8(std::string& out, char32_t code) {
  std::array<char, 4> bytes{};
  out.append(bytes.data(), encodeUtf8(code, bytes.data()));
}

// UTF-16 as UTF-8; a surrogate that is not part of a pair becomes U+FFFD.
std::string utf16ToUtf8(std::u16string_view units);

}  // namespace kvd507::text
