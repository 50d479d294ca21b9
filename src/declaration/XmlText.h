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

// Appends `value` as well-formed XML element text that text::decodeXmlText turns back into it. "<"
// and ">" become entity references, "&" as `ampersand` says. Line feed, carriage return and tab
// become character references, so that every field stays on its own line, and DEL becomes
// "&#127;"; other control characters, which XML cannot carry, become a space each. Bytes that
// are not UTF-8, and the non-characters U+FFFE and U+FFFF, become U+FFFD.
void appendXmlText(std::string& out, std::string_view value, Ampersand ampersand);

}  // namespace kvd507::declaration
