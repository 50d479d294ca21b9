#include "declaration/XmlText.h"

#include <array>

#include "declaration/Utf8.h"

namespace kvd507::declaration {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isXmlCharacter(char32_t code) {
  return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

int digitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "&#N;" or "&#xH;" naming a character XML allows; a reference to, say, U+0000 would make the
// file unreadable just as a bare "&" would.
std::size_t characterReferenceLength(std::string_view text) {
  const bool hex = text.size() > 2 && text[2] == 'x';
  const std::size_t firstDigit = hex ? 3 : 2;
  const char32_t base = hex ? 16 : 10;
  char32_t code = 0;
  std::size_t at = firstDigit;
  for (; at < text.size(); ++at) {
    const int digit = digitValue(text[at], hex);
    if (digit < 0) break;
    code = code * base + static_cast<char32_t>(digit);
    if (code > 0x10FFFF) return 0;
  }
  if (at == firstDigit || at == text.size() || text[at] != ';') return 0;
  return isXmlCharacter(code) ? at + 1 : 0;
}

bool needsCare(unsigned char byte) {
  return byte < 0x20 || byte >= 0x7F || byte == '<' || byte == '>' || byte == '&';
}

}  // namespace

std::size_t referenceLength(std::string_view text) {
  if (text.size() < 2 || text[0] != '&') return 0;
  if (text[1] == '#') return characterReferenceLength(text);
  static constexpr std::array<std::string_view, 5> kNamed = {"&amp;", "&lt;", "&gt;", "&quot;",
                                                             "&apos;"};
  for (std::string_view named : kNamed) {
    if (text.starts_with(named)) return named.size();
  }
  return 0;
}

void appendXmlText(std::string& out, std::string_view value) {
  std::size_t at = 0;
  while (at < value.size()) {
    std::size_t plainEnd = at;
    while (plainEnd < value.size() && !needsCare(static_cast<unsigned char>(value[plainEnd]))) {
      ++plainEnd;
    }
    out.append(value, at, plainEnd - at);
    at = plainEnd;
    if (at == value.size()) break;

    const auto byte = static_cast<unsigned char>(value[at]);
    if (byte == '<') {
      out += "&lt;";
    } else if (byte == '>') {
      out += "&gt;";
    } else if (byte == '&') {
      const std::size_t length = referenceLength(value.substr(at));
      out += length == 0 ? std::string_view("&amp;") : value.substr(at, length);
      at += length == 0 ? 1 : length;
      continue;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += ' ';
    } else {
      const Utf8Character character = decodeUtf8(value, at);
      if (character.length == 0) {
        out += kReplacementCharacter;
      } else {
        out += isXmlCharacter(character.code) ? value.substr(at, character.length)
                                              : kReplacementCharacter;
        at += character.length;
        continue;
      }
    }
    ++at;
  }
}

}  // namespace kvd507::declaration
