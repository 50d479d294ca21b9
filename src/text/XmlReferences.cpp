#include "text/XmlReferences.h"

#include <array>

#include "text/Hex.h"
#include "text/Utf8.h"

namespace kvd507::text {
namespace {

struct NamedEntity {
  std::string_view name;
  char character;
};
constexpr std::array<NamedEntity, 5> kNamed{{
    {"amp", '&'},
    {"lt", '<'},
    {"gt", '>'},
    {"quot", '"'},
    {"apos", '\''},
}};

// "&apos;" and "&quot;" are the longest.
constexpr std::size_t kLongestEntity = 6;

int digitValue(char c, bool hex) {
  if (hex) return hexDigitValue(c);
  return c >= '0' && c <= '9' ? c - '0' : -1;
}

}  // namespace

std::optional<char> predefinedEntity(std::string_view name) {
  for (const NamedEntity& named : kNamed) {
    if (name == named.name) return named.character;
  }
  return std::nullopt;
}

CharacterReference readCharacterReference(std::string_view text) {
  using Status = CharacterReference::Status;
  std::size_t at = 2;  // past "&#"
  if (at >= text.size()) return {Status::kCutOff};
  const bool hex = text[at] == 'x';
  if (hex) ++at;
  const std::size_t firstDigit = at;
  const char32_t base = hex ? 16 : 10;
  char32_t code = 0;
  for (; at < text.size(); ++at) {
    const int digit = digitValue(text[at], hex);
    if (digit < 0) break;
    code = code * base + static_cast<char32_t>(digit);
    // Checked digit by digit, so that a long run of digits cannot overflow.
    if (code > 0x10FFFF) return {Status::kNotACharacter};
  }
  if (at == text.size()) return {Status::kCutOff};
  if (at == firstDigit || text[at] != ';') return {Status::kMalformed, at};
  // A reference to, say, U+0000 makes a document as unreadable as a bare "<" would.
  if (!isXmlCharacter(code)) return {Status::kNotACharacter};
  return {Status::kComplete, at + 1, code};
}

XmlReference xmlReferenceAt(std::string_view text) {
  if (text.size() < 2 || text[0] != '&') return {};
  if (text[1] == '#') {
    const CharacterReference reference = readCharacterReference(text);
    if (reference.status != CharacterReference::Status::kComplete) return {};
    return {reference.length, reference.code};
  }
  const std::size_t semicolon = text.substr(0, kLongestEntity).find(';');
  if (semicolon == std::string_view::npos) return {};
  const std::optional<char> character = predefinedEntity(text.substr(1, semicolon - 1));
  if (!character) return {};
  return {semicolon + 1, static_cast<char32_t>(*character)};
}

std::string decodeXmlText(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t at = text.find('&'); at != std::string_view::npos; at = text.find('&')) {
    decoded.append(text.substr(0, at));
    text.remove_prefix(at);
    const XmlReference reference = xmlReferenceAt(text);
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

}  // namespace kvd507::text
