#include "declaration/XmlText.h"

#include <array>

#include "text/Utf8.h"
#include "text/XmlReferences.h"

namespace kvd507::declaration {
namespace {

constexpr std::string_view kReplacementBytes = "\xEF\xBF\xBD";

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
      const std::size_t length = ampersand == Ampersand::kAlreadyEscaped
                                     ? text::xmlReferenceAt(value.substr(at)).length
                                     : 0;
      out += length == 0 ? std::string_view("&amp;") : value.substr(at, length);
      at += length == 0 ? 1 : length;
      continue;
    } else if (byte < 0x20 || byte == 0x7F) {
      out += controlText(byte);
    } else {
      const text::Utf8Character character = text::decodeUtf8(value, at);
      if (character.length == 0) {
        out += kReplacementBytes;
      } else {
        out += text::isXmlCharacter(character.code) ? value.substr(at, character.length)
                                                    : kReplacementBytes;
        at += character.length;
        continue;
      }
    }
    ++at;
  }
}

}  // namespace kvd507::declaration
