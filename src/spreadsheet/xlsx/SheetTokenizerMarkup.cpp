#include <expat.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/SheetTokenizer.h"
#include "spreadsheet/xlsx/SheetTokenizerScanning.h"

// The markup of SheetTokenizer that a worksheet seldom holds: comments, processing
// instructions, CDATA sections, document types, references, and names beyond ASCII.

namespace kvd507::spreadsheet::xlsx {
namespace {

// Whether a well-formed document may have this name for an element. Names outside ASCII are
// rare enough in a worksheet to be left to expat, so that they are judged by the same tables.
bool isNameOutsideAscii(std::string_view name) {
  thread_local std::string lastAccepted;
  if (name == lastAccepted) return true;
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) throw std::bad_alloc();
  std::string document = "<";
  document += name;
  document += "/>";
  const bool accepted = XML_Parse(parser, document.data(), static_cast<int>(document.size()),
                                  XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(parser);
  if (accepted) lastAccepted.assign(name);
  return accepted;
}

bool isXmlCharacterNumber(std::uint32_t code) {
  if (code < 0x20) return code == 0x9 || code == 0xA || code == 0xD;
  if (code >= 0xD800 && code <= 0xDFFF) return false;
  return code != 0xFFFE && code != 0xFFFF && code <= 0x10FFFF;
}

std::size_t encodeUtf8(std::uint32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

}  // namespace

SheetTokenizer::Outcome SheetTokenizer::parseMarkupDeclaration(const char* p) {
  const char* end = buffer_.get() + end_;
  const std::string_view rest(p, static_cast<std::size_t>(end - p));
  // Which of the three it is, once enough bytes are there to tell.
  const auto opens = [&](std::string_view start) {
    return rest.substr(0, start.size()) == start.substr(0, rest.size());
  };
  const auto complete = [&](std::string_view start) { return rest.starts_with(start); };
  if (complete("<!--")) return parseComment(p);
  if (phase_ == Phase::Content && complete("<![CDATA[")) return parseCData(p);
  if (phase_ == Phase::Prolog && complete("<!DOCTYPE")) {
    throw WorkbookError(ErrorKind::kWorkbookDocumentType, {entry_.fileName()},
                        "the workbook part " + entry_.part() +
                            " declares a document type, which no workbook part has");
  }
  if (opens("<!--") || (phase_ == Phase::Content && opens("<![CDATA[")) ||
      (phase_ == Phase::Prolog && opens("<!DOCTYPE"))) {
    return Outcome::NeedMore;
  }
  malformed(p, XML_ERROR_INVALID_TOKEN);
}

void SheetTokenizer::checkNameOutsideAscii(const char* nameStart, const char* nameEnd) {
  if (!isNameOutsideAscii(
          std::string_view(nameStart, static_cast<std::size_t>(nameEnd - nameStart)))) {
    malformed(nameStart, XML_ERROR_INVALID_TOKEN);
  }
}

std::size_t SheetTokenizer::decodeReference(const char* p, char* out, std::size_t& outLength) {
  // Attribute values are decoded from the buffer too, where they were checked already.
  const char* end = buffer_.get() + end_;
  const char* q = p + 1;
  if (q == end) return 0;
  if (*q == '#') {
    ++q;
    if (q == end) return 0;
    const bool hex = *q == 'x';
    if (hex) ++q;
    std::uint32_t code = 0;
    const char* digits = q;
    for (; q < end; ++q) {
      const char c = *q;
      std::uint32_t digit;
      if (c >= '0' && c <= '9') {
        digit = static_cast<std::uint32_t>(c - '0');
      } else if (hex && c >= 'a' && c <= 'f') {
        digit = static_cast<std::uint32_t>(c - 'a' + 10);
      } else if (hex && c >= 'A' && c <= 'F') {
        digit = static_cast<std::uint32_t>(c - 'A' + 10);
      } else {
        break;
      }
      code = code * (hex ? 16 : 10) + digit;
      if (code > 0x10FFFF) malformed(p, XML_ERROR_BAD_CHAR_REF);
    }
    if (q == end) return 0;
    if (q == digits || *q != ';') malformed(q, XML_ERROR_INVALID_TOKEN);
    if (!isXmlCharacterNumber(code)) malformed(p, XML_ERROR_BAD_CHAR_REF);
    outLength = encodeUtf8(code, out);
    return static_cast<std::size_t>(q + 1 - p);
  }
  const char* nameEnd = scanName(q, q);
  if (nameEnd == nullptr) return 0;
  if (*nameEnd != ';') malformed(nameEnd, XML_ERROR_INVALID_TOKEN);
  const std::string_view name(q, static_cast<std::size_t>(nameEnd - q));
  char value;
  if (name == "amp") {
    value = '&';
  } else if (name == "lt") {
    value = '<';
  } else if (name == "gt") {
    value = '>';
  } else if (name == "quot") {
    value = '"';
  } else if (name == "apos") {
    value = '\'';
  } else {
    malformed(p, XML_ERROR_UNDEFINED_ENTITY);
  }
  out[0] = value;
  outLength = 1;
  return static_cast<std::size_t>(nameEnd + 1 - p);
}

// As XML normalises an attribute value: references replaced, and each white space character
// or line end written in the value made one space. The references were checked as the tag
// was parsed.
void SheetTokenizer::decodeValue(std::string_view raw, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const char c = raw[i];
    if (c == '&') {
      char bytes[4];
      std::size_t length = 0;
      i += decodeReference(raw.data() + i, bytes, length) - 1;
      out.append(bytes, length);
    } else if (c == '\r') {
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
      out += ' ';
    } else if (c == '\t' || c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
}

SheetTokenizer::Outcome SheetTokenizer::parseComment(const char* p) {
  const char* end = buffer_.get() + end_;
  const char* q = p + 4;
  for (;;) {
    if (q == end) return Outcome::NeedMore;
    const auto c = static_cast<unsigned char>(*q);
    if (c == '-') {
      if (end - q < 2) return Outcome::NeedMore;
      if (q[1] == '-') {
        if (end - q < 3) return Outcome::NeedMore;
        // "--" ends the comment, and must be followed by '>'.
        if (q[2] != '>') malformed(q, XML_ERROR_INVALID_TOKEN);
        begin_ = static_cast<std::size_t>(q + 3 - buffer_.get());
        return Outcome::Done;
      }
      ++q;
    } else if (c >= 0x20 && c < 0x80) {
      ++q;
    } else {
      const std::size_t length = characterLength(q);
      if (length == 0) return Outcome::NeedMore;
      q += length;
    }
  }
}

SheetTokenizer::Outcome SheetTokenizer::parseProcessingInstruction(const char* p) {
  const char* end = buffer_.get() + end_;
  const char* q = scanName(p + 2, p + 2);
  if (q == nullptr) return Outcome::NeedMore;
  // An XML declaration may stand at the very start only, and "xml" names nothing else.
  if (equalsIgnoringCase(std::string_view(p + 2, static_cast<std::size_t>(q - p - 2)), "xml")) {
    malformed(p, XML_ERROR_MISPLACED_XML_PI);
  }
  // The target is followed by white space, or ends the instruction at once.
  if (*q == '?') {
    if (q + 1 == end) return Outcome::NeedMore;
    if (q[1] != '>') malformed(q, XML_ERROR_INVALID_TOKEN);
    begin_ = static_cast<std::size_t>(q + 2 - buffer_.get());
    return Outcome::Done;
  }
  if (!isSpace(*q)) malformed(q, XML_ERROR_INVALID_TOKEN);
  for (;;) {
    if (q == end) return Outcome::NeedMore;
    const auto c = static_cast<unsigned char>(*q);
    if (c == '?') {
      if (q + 1 == end) return Outcome::NeedMore;
      if (q[1] == '>') {
        begin_ = static_cast<std::size_t>(q + 2 - buffer_.get());
        return Outcome::Done;
      }
      ++q;
    } else if (c >= 0x20 && c < 0x80) {
      ++q;
    } else {
      const std::size_t length = characterLength(q);
      if (length == 0) return Outcome::NeedMore;
      q += length;
    }
  }
}

SheetTokenizer::Outcome SheetTokenizer::parseCData(const char* p) {
  const char* end = buffer_.get() + end_;
  const char* first = p + 9;
  const char* q = first;
  // Checked whole first, then handed over, so that nothing is handed over twice.
  for (;;) {
    if (q == end) return Outcome::NeedMore;
    const auto c = static_cast<unsigned char>(*q);
    if (c == ']') {
      if (end - q < 3) return Outcome::NeedMore;
      if (q[1] == ']' && q[2] == '>') break;
      ++q;
    } else if (c >= 0x20 && c < 0x80) {
      ++q;
    } else {
      const std::size_t length = characterLength(q);
      if (length == 0) return Outcome::NeedMore;
      q += length;
    }
  }
  begin_ = static_cast<std::size_t>(q + 3 - buffer_.get());
  if (cells_.collecting()) {
    const char* run = first;
    for (const char* r = first; r < q; ++r) {
      if (*r != '\r') continue;
      emit(std::string_view(run, static_cast<std::size_t>(r - run)));
      emit("\n");
      if (r + 1 < q && r[1] == '\n') ++r;
      run = r + 1;
    }
    emit(std::string_view(run, static_cast<std::size_t>(q - run)));
  }
  return Outcome::Done;
}

}  // namespace kvd507::spreadsheet::xlsx
