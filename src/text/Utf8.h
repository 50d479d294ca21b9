#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace kvd507::declaration {

// One character decoded from UTF-8; a length of 0 means the bytes there are not valid UTF-8
// (overlong forms, surrogates, code points above U+10FFFF and cut-off sequences included).
struct Utf8Character {
  char32_t code = 0;
  std::size_t length = 0;
};

Utf8Character decodeUtf8(std::string_view text, std::size_t at);

// Byte offset of the first byte that does not begin a valid character, if any.
std::optional<std::size_t> firstInvalidUtf8(std::string_view text);

}  // namespace kvd507::declaration
