#include "text/Hex.h"

namespace kvd507::text {

void appendPercentEscape(std::string& out, unsigned char byte) {
  static constexpr std::string_view kDigits = "0123456789ABCDEF";
  out += '%';
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0x0F];
}

std::string percentDecoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      const int high = hexDigitValue(text[i + 1]);
      const int low = hexDigitValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    decoded += text[i];
  }
  return decoded;
}

}  // namespace kvd507::text
