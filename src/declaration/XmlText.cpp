#include "declaration/XmlText.h"

#include <array>

#include "text/Utf8.h"

namespace kvd507::declaration {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The predefined entities and the characters they stand for.
struct NamedEntity {
  std::string_view text;
  char character;
};
constexpr std::array<NamedEntity, 5> kNamed{{
    {"&amp;", '&'},
    {"&lt;", '<'},
    {"&gt;", '>'},
    {"&quot;", '"'},
    {"&apos;", '\''},
}};

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

// A reference found at the start of a text: its length (0 for none) and the character.
struct Reference {
  std::size_t length = 0;
  char32_t code = 0;
};

// "&#N;" or "&#xH;" naming a character XML allows; a reference to, say, U+0000 would make the
// file unreadable just as a bare "&" would.
Reference characterReference(std::string_view text) {
  const bool hex = text.size() > 2 && text[2] == 'x';
  const std::size_t firstDigit = hex ? 3 : 2;
  const char32_t base = hex ? 16 : 10;
  char32_t code = 0;
  std::size_t at = firstDigit;
  for (; at < text.size(); ++at) {
    const int digit = digitValue(text[at], hex);
    if (digit < 0) break;
    code = code * base + static_cast<char32_t>(digit);
    if (code > 0x10FFFF) return {};
  }
  if (at == firstDigit || at == text.size() || text[at] != ';') return {};
  if (!isXmlCharacter(code)) return {};
  return {at + 1, code};
}

Reference referenceAt(std::string_view text) {
  if (text.size() < 2 || text[0] != '&') return {};
  if (text[1] == '#') return characterReference(text);
  for (const NamedEntity& named : kNamed) {
    if (text.starts_with(named.text)) return {named.text.size(), char32_t(named.character)};
  }
  return {};
}

void appendUtf8(std::string& out, char32_t code) {
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

// The bytes that are not written as they are: control characters, DEL, "<", ">", "&" and every
// byte of a multi-byte character, which is checked first. A table, since every byte of every
// value written is looked up in it.
constexpr std::array<bool, 256> kNeedsCare = [] {
  std::array<bool, 256> table{};
  for (std::size_t byte = 0; byte < table.size(); ++byte) {
    table[byte] = byte < 0x20 || byte >= 0x7F || byte == '<' || byte == '>' || byte == '&';
  }
  return table;
}();

bool needsCare(unsigned char byte) {
  return kNeedsCare[byte];
}

// How a control character (or DEL) is written.
std::string_view controlText(unsigned char byte) {
  switch (byte) {
    case '\n':
      return "&#10;";
    case '\r':
      return "&#13;";
    case '\t':
      return "&#9;";
    case 0x7F:
      return "&#127;";
    default:
      return " ";
  }
}

}  // namespace

std::size_t referenceLength(std::string_view text) {
  return referenceAt(text).length;
}

void appendXmlText(std::string& out, std::string_view value, Ampersand ampersand) {
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
      const std::size_t length =
          ampersand == Ampersand::kAlreadyEscaped ? referenceLength(value.substr(at)) : 0;
      out += length == 0 ? std::string_view("&amp;") : value.substr(at, length);
      at += length == 0 ? 1 : length;
      continue;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += controlText(byte);
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

std::string decodeXmlText(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&')) {
    decoded.append(text.substr(0, at));
    text.remove_prefix(at);
    const Reference reference = referenceAt(text);
    if (reference.length == 0) {
      decoded += '&';
      text.remove_prefix(1);
    } else {
      appendUtf8(decoded, reference.code);
      text.remove_prefix(reference.length);
    }
  }
  decoded.append(text);
  return decoded;
}

}  // namespace kvd507::declaration
