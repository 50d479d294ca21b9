#include "payers/TextEncoding.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "errors/Error.h"
#include "text/Utf8.h"

namespace kvd507::payers {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

void check(UErrorCode status, const char* what) {
  if (U_FAILURE(status)) {
    throw Error(ErrorKind::kTextEncoding, {},
                std::string(what) + " failed: " + u_errorName(status));
  }
}

Converter openConverter(const char* name) {
  UErrorCode status = U_ZERO_ERROR;
  Converter converter(ucnv_open(name, &status));
  check(status, name);
  return converter;
}

// Converts between two ICU converters through UTF-16, in one go: the files are small.
std::string convert(const char* to, const char* from, std::string_view bytes) {
  if (bytes.empty()) return {};
  std::string out(bytes.size() * 4 + 8, '\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t length = ucnv_convert(to, from, out.data(), static_cast<int32_t>(out.size()),
                                      bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  if (status == U_BUFFER_OVERFLOW_ERROR) {
    out.assign(static_cast<std::size_t>(length), '\0');
    status = U_ZERO_ERROR;
    ucnv_convert(to, from, out.data(), length, bytes.data(), static_cast<int32_t>(bytes.size()),
                 &status);
  }
  check(status, "text conversion");
  out.resize(static_cast<std::size_t>(length));
  return out;
}

bool isAscii(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool isWellFormedUtf8(std::string_view bytes) {
  return !text::firstInvalidUtf8(bytes);
}

std::string toAnsi(std::string_view text) {
  Converter converter = openConverter(kAnsiCodePage);
  UErrorCode status = U_ZERO_ERROR;
  // The code page's own substitute is the control character SUB; Windows writes "?".
  ucnv_setSubstChars(converter.get(), "?", 1, &status);
  check(status, kAnsiCodePage);

  std::u16string wide(text.size() + 1, u'\0');
  int32_t wideLength = 0;
  u_strFromUTF8WithSub(wide.data(), static_cast<int32_t>(wide.size()), &wideLength, text.data(),
                       static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  check(status, "UTF-8 decoding");

  std::string out(static_cast<std::size_t>(wideLength) * 2 + 8, '\0');
  const int32_t length =
      ucnv_fromUChars(converter.get(), out.data(), static_cast<int32_t>(out.size()), wide.data(),
                      wideLength, &status);
  check(status, kAnsiCodePage);
  out.resize(static_cast<std::size_t>(length));
  return out;
}

// A file that is not UTF-8 as a whole: UTF-8 lines stay UTF-8, the others are read in the code
// page. Line breaks are the same bytes in both.
DecodedText decodeLineByLine(std::string_view bytes) {
  const std::string_view whole = bytes;
  DecodedText decoded{{}, TextEncoding::Utf8};
  bool utf8 = false;
  std::size_t number = 0;
  while (!bytes.empty()) {
    ++number;
    std::size_t end = bytes.find_first_of("\r\n");
    if (end == std::string_view::npos) end = bytes.size();
    std::size_t next = end;
    if (next < bytes.size() && bytes[next] == '\r') ++next;
    if (next < bytes.size() && bytes[next] == '\n') ++next;
    const std::string_view line = bytes.substr(0, end);
    if (isAscii(line)) {
      decoded.text += line;
    } else if (isWellFormedUtf8(line)) {
      decoded.text += line;
      utf8 = true;
    } else {
      decoded.text += convert("UTF-8", kAnsiCodePage, line);
      decoded.ansiLines.push_back(number);
    }
    decoded.text += bytes.substr(end, next - end);
    bytes.remove_prefix(next);
  }
  if (!utf8) return {convert("UTF-8", kAnsiCodePage, whole), TextEncoding::Ansi};
  return decoded;
}

}  // namespace

std::vector<std::string> unencodableCharacters(std::string_view text, TextEncoding encoding) {
  std::vector<std::string> missing;
  if (encoding != TextEncoding::Ansi) return missing;
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    length = std::min(length, text.size() - at);
    const std::string character(text.substr(at, length));
    at += length;
    if (lead < 0x80) continue;
    if (throughEncoding(character, encoding) != character &&
        std::find(missing.begin(), missing.end(), character) == missing.end()) {
      missing.push_back(character);
    }
  }
  return missing;
}

DecodedText decodeText(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) {
    return {convert("UTF-8", "UTF-8", bytes.substr(kUtf8Mark.size())), TextEncoding::Utf8WithMark};
  }
  if (bytes.starts_with(kUtf16LeMark)) {
    return {convert("UTF-8", "UTF-16LE", bytes.substr(kUtf16LeMark.size())), TextEncoding::Utf16Le};
  }
  if (bytes.starts_with(kUtf16BeMark)) {
    return {convert("UTF-8", "UTF-16BE", bytes.substr(kUtf16BeMark.size())), TextEncoding::Utf16Be};
  }
  if (isAscii(bytes)) return {std::string(bytes), TextEncoding::Ansi};
  if (isWellFormedUtf8(bytes)) return {std::string(bytes), TextEncoding::Utf8};
  return decodeLineByLine(bytes);
}

std::string_view byteOrderMark(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Utf8WithMark:
      return kUtf8Mark;
    case TextEncoding::Utf16Le:
      return kUtf16LeMark;
    case TextEncoding::Utf16Be:
      return kUtf16BeMark;
    case TextEncoding::Ansi:
    case TextEncoding::Utf8:
      break;
  }
  return {};
}

std::string encodeText(std::string_view text, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Ansi:
      return toAnsi(text);
    case TextEncoding::Utf8:
    case TextEncoding::Utf8WithMark:
      return convert("UTF-8", "UTF-8", text);
    case TextEncoding::Utf16Le:
      return convert("UTF-16LE", "UTF-8", text);
    case TextEncoding::Utf16Be:
      return convert("UTF-16BE", "UTF-8", text);
  }
  throw std::logic_error("unknown text encoding");
}

std::string throughEncoding(std::string_view text, TextEncoding encoding) {
  if (encoding != TextEncoding::Ansi) return std::string(text);
  return convert("UTF-8", kAnsiCodePage, toAnsi(text));
}

}  // namespace kvd507::payers
