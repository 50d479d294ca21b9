#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kvd507::declaration {

// How an "&" of a value is written.
enum class Ampersand {
  // Every "&" becomes "&amp;", also where the text looks like a reference: the value is plain
  // text, and "A&amp;B" typed in a cell must read back as typed.
  kEscaped,
  // An "&" that begins a reference stays as it is: name cells and the payer name carry their
  // "&" escaped already ("&amp;", "&quot;"). A bare "&" still becomes "&amp;".
  kAlreadyEscaped,
};

// Appends `value` as well-formed XML element text that decodeXmlText turns back into it. "<"
// and ">" become entity references, "&" as `ampersand` says. Line feed, carriage return and tab
// become character references, so that every field stays on its own line, and DEL becomes
// "&#127;"; other control characters, which XML cannot carry, become a space each. Bytes that
// are not UTF-8, and the non-characters U+FFFE and U+FFFF, become U+FFFD.
void appendXmlText(std::string& out, std::string_view value, Ampersand ampersand);

// The length of the entity or character reference at the start of `text`, or 0 when it does
// not start with one that an XML parser accepts.
std::size_t referenceLength(std::string_view text);

// Replaces the five predefined entities and the character references (decimal and hex) of
// characters XML allows by the characters they stand for; anything else, a bare "&", an
// unknown entity or "&#0;", stays as it stands.
std::string decodeXmlText(std::string_view text);

}  // namespace kvd507::declaration
