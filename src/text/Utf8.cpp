#include "text/Utf8.h"

namespace kvd507::text {
namespace {

unsigned char byteAt(std::string_view text, std::size_t at) {
  return static_cast<unsigned char>(text[at]);
}

bool isContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

}  // namespace

Utf8Character decodeUtf8(std::string_view text, std::size_t at) {
  const unsigned char lead = byteAt(text, at);
  if (lead < 0x80) return {lead, 1};

  std::size_t length = 0;
  char32_t code = 0;
  // The second byte's range is narrowed for the leads that could otherwise start an overlong
  // form, a surrogate or a code point beyond U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return {};
  }
  if (text.size() - at < length) return {};

  const unsigned char second = byteAt(text, at + 1);
  if (second < low || second > high) return {};
  code = (code << 6) | (second & 0x3F);
  for (std::size_t i = 2; i < length; ++i) {
    const unsigned char next = byteAt(text, at + i);
    if (!isContinuation(next)) return {};
    code = (code << 6) | (next & 0x3F);
  }
  return {code, length};
}

std::optional<std::size_t> firstInvalidUtf8(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    if (byteAt(text, at) < 0x80) {
      ++at;
      continue;
    }
    const Utf8Character character = decodeUtf8(text, at);
    if (character.length == 0) return at;
    at += character.length;
  }
  return std::nullopt;
}

std::string utf16ToUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char32_t unit = units[i];
    if (isHighSurrogate(unit) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
      appendUtf8(out, fromSurrogatePair(unit, units[i + 1]));
      ++i;
    } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
      appendUtf8(out, kReplacementCharacter);
    } else {
      appendUtf8(out, unit);
    }
  }
  return out;
}

}  // namespace kvd507::text
