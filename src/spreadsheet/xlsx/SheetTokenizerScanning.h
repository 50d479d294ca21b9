#pragma once

// What the parts of SheetTokenizer share: the byte classes of its scanning loops, and the
// scanners of names and characters, defined here so that the inner loop keeps them in line.
// Only the tokenizer's own sources include it.

#include <expat.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "spreadsheet/xlsx/SheetTokenizer.h"

namespace kvd507::spreadsheet::xlsx {

// Enough for a byte-order mark and any XML declaration a spreadsheet application writes.
inline constexpr std::size_t kHeadBytes = 1024;

// What a byte of character data is to the text scanner: most bytes are plain and only passed
// over; the others need a closer look.
enum : std::uint8_t { kPlain = 0, kSpecial = 1 };

constexpr std::array<std::uint8_t, 256> textClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const bool special = c < 0x20 || c >= 0x80 || c == '<' || c == '&' || c == ']';
    classes[static_cast<std::size_t>(c)] = special ? kSpecial : kPlain;
  }
  classes['\t'] = kPlain;
  classes['\n'] = kPlain;
  return classes;
}
inline constexpr std::array<std::uint8_t, 256> kTextClass = textClasses();

inline bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

constexpr bool isAsciiNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

// Bytes that may go on a name: its ASCII characters, and every byte of a character beyond
// ASCII, which isNameOutsideAscii judges.
constexpr std::array<bool, 256> nameBytes() {
  std::array<bool, 256> bytes{};
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    bytes[b] = isAsciiNameStart(b) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c >= 0x80;
  }
  return bytes;
}
inline constexpr std::array<bool, 256> kNameByte = nameBytes();

// Bytes of an attribute value that need no closer look.
constexpr std::array<bool, 256> plainValueBytes() {
  std::array<bool, 256> bytes{};
  for (int c = 0x20; c < 0x80; ++c) {
    bytes[static_cast<unsigned char>(c)] = c != '<' && c != '&' && c != '"' && c != '\'';
  }
  return bytes;
}
inline constexpr std::array<bool, 256> kPlainValueByte = plainValueBytes();

inline bool isTrail(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
           return lower(x) == lower(y);
         });
}

[[gnu::always_inline]] inline const char* SheetTokenizer::scanName(const char* p,
                                                                   const char* nameStart) {
  const char* end = buffer_.get() + end_;
  if (p == end) return nullptr;
  const auto first = static_cast<unsigned char>(*p);
  if (first < 0x80 && !isAsciiNameStart(first)) malformed(p, XML_ERROR_INVALID_TOKEN);
  unsigned char any = first;
  ++p;
  while (kNameByte[static_cast<unsigned char>(*p)]) any |= static_cast<unsigned char>(*p++);
  if (p == end) return nullptr;  // the name may go on
  if (any >= 0x80) checkNameOutsideAscii(nameStart, p);
  return p;
}

inline std::size_t SheetTokenizer::characterLength(const char* p) {
  const auto c = static_cast<unsigned char>(p[0]);
  const auto available = static_cast<std::size_t>(buffer_.get() + end_ - p);
  if (c < 0x80) {
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') malformed(p, XML_ERROR_INVALID_TOKEN);
    return 1;
  }
  std::size_t length;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (c < 0xC2) {
    malformed(p, XML_ERROR_INVALID_TOKEN);
  } else if (c < 0xE0) {
    length = 2;
  } else if (c < 0xF0) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;  // no surrogates
  } else if (c < 0xF5) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    malformed(p, XML_ERROR_INVALID_TOKEN);
  }
  if (available < length) {
    // A character cut by the end of the chunk; one cut by the end of the part is an error.
    for (std::size_t i = 1; i < available; ++i) {
      const auto next = static_cast<unsigned char>(p[i]);
      if (i == 1 ? (next < low || next > high) : !isTrail(next)) {
        malformed(p, XML_ERROR_INVALID_TOKEN);
      }
    }
    if (atEnd_) malformed(p, XML_ERROR_PARTIAL_CHAR);
    return 0;
  }
  const auto second = static_cast<unsigned char>(p[1]);
  if (second < low || second > high) malformed(p, XML_ERROR_INVALID_TOKEN);
  for (std::size_t i = 2; i < length; ++i) {
    if (!isTrail(static_cast<unsigned char>(p[i]))) malformed(p, XML_ERROR_INVALID_TOKEN);
  }
  // U+FFFE and U+FFFF are no characters XML allows.
  if (c == 0xEF && second == 0xBF && static_cast<unsigned char>(p[2]) >= 0xBE) {
    malformed(p, XML_ERROR_INVALID_TOKEN);
  }
  return length;
}

}  // namespace kvd507::spreadsheet::xlsx
