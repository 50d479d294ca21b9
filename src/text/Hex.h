#pragma once

#include <string>
#include <string_view>

namespace kvd507::text {

// The value of a hexadecimal digit, either case; -1 for any other character.
constexpr int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Appends `byte` as "%XX", upper-case, as URIs and the settings file escape bytes.
void appendPercentEscape(std::string& out, unsigned char byte);

// Every "%XX" of `text` replaced by the byte it stands for; a "%" that starts no such escape
// stays as it is.
std::string percentDecoded(std::string_view text);

}  // namespace kvd507::text
