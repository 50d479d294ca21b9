#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kvd507::text {

// Whether XML allows the character in a document, written plainly or as a reference.
constexpr bool isXmlCharacter(char32_t code) {
  return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
         (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// The character one of the five predefined entities stands for, by its name ("amp", "lt", "gt",
// "quot", "apos"); nothing for any other name.
std::optional<char> predefinedEntity(std::string_view name);

// A character reference, "&#N;" or "&#xH;", read from the start of a text that begins with "&#".
struct CharacterReference {
  enum class Status {
    kComplete,
    kCutOff,         // the text ends before the reference does
    kMalformed,      // no digits, or something else where the ";" belongs
    kNotACharacter,  // a number beyond U+10FFFF, or a character XML does not allow
  };
  Status status = Status::kComplete;
  // kComplete: the reference's length; kMalformed: the offset of the byte that ends it wrongly.
  std::size_t length = 0;
  char32_t code = 0;
};
CharacterReference readCharacterReference(std::string_view text);

// The length of the entity or character reference at the start of `text`, or 0 when it does
// not start with one that an XML parser accepts, and the character it stands for.
struct XmlReference {
  std::size_t length = 0;
  char32_t code = 0;
};
XmlReference xmlReferenceAt(std::string_view text);

// Replaces the five predefined entities and the character references (decimal and hex) of
// characters XML allows by the characters they stand for; anything else, a bare "&", an
// unknown entity or "&#0;", stays as it stands.
std::string decodeXmlText(std::string_view text);

}  // namespace kvd507::text
