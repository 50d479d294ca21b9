#include <expat.h>

#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/SheetTokenizer.h"
#include "spreadsheet/xlsx/SheetTokenizerScanning.h"
#include "text/Utf8.h"
#include "text/XmlReferences.h"

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
    using Status = text::CharacterReference::Status;
    const text::CharacterReference reference =
        text::readCharacterReference(std::string_view(p, static_cast<std::size_t>(end - p)));
    switch (reference.status) {
      case Status::kCutOff:
        return 0;
      case Status::kMalformed:
        malformed(p + reference.length, XML_ERROR_INVALID_TOKEN);
      case Status::kNotACharacter:
        malformed(p, XML_ERROR_BAD_CHAR_REF);
      case Status::kComplete:
        break;
    }
    outLength = text::encodeUtf8(reference.code, out);
    return reference.length;
  }
  const char* nameEnd = scanName(q, q);
  if (nameEnd == nullptr) return 0;
  if (*nameEnd != ';') malformed(nameEnd, XML_ERROR_INVALID_TOKEN);
  const std::string_view name(q, static_cast<std::size_t>(nameEnd - q));
  const std::optional<char> value = text::predefinedEntity(name);
  if (!value) malformed(p, XML_ERROR_UNDEFINED_ENTITY);
  out[0] = *value;
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
