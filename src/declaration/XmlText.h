#pragma once

#include <string>
#include <string_view>

namespace kvd507::declaration {

// Appends `value` as well-formed XML element text. "<" and ">" become entity references; an
// "&" becomes "&amp;" unless it already begins a reference, so text that is escaped already
// (name cells, the prepared payer name, rows taken from a declaration) is not escaped twice.
// Line breaks, tabs and other control characters become one space each, which keeps every
// field on its own line; bytes that are not UTF-8, and the non-characters U+FFFE and U+FFFF,
// become U+FFFD.
void appendXmlText(std::string& out, std::string_view value);

// The length of the entity or character reference at the start of `text`, or 0 when it does
// not start with one that an XML parser accepts.
std::size_t referenceLength(std::string_view text);

}  // namespace kvd507::declaration
