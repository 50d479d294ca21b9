#include "workbook/xlsx/SheetTokenizer.h"

#include <expat.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

#include "text/Utf8.h"
#include "text/XmlReferences.h"
#include "workbook/WorkbookError.h"
#include "workbook/xlsx/XmlNames.h"

namespace kvd507::workbook::xlsx {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// Enough for a byte-order mark and any XML declaration a spreadsheet application writes.
constexpr std::size_t kHeadBytes = 1024;

// What a byte of character data is to the text scanner: most bytes are plain and only passed
// over; the others need a closer look.
enum : std::uint8_t { kPlain = 0, kSpecial = 1 };

constexpr std::array<std::uint8_t, 256> textClasses() {
  std::array<std::uint8_t, 256> classes{};
  for (int c = 0; c < 256; ++c) {
    const bool special = c < 0x20 || c >= 0x80 || c == '<' || c == '&' || c == ']';
    classes[static_cast<std::size_t>(c)] = special ? kSpecial : kPlain;
  }
  classes['\t'] = kPlain;
  classes['\n'] = kPlain;
  return classes;
}
constexpr std::array<std::uint8_t, 256> kTextClass = textClasses();

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

constexpr bool isAsciiNameStart(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}

// Bytes that may go on a name: its ASCII characters, and every byte of a character beyond
// ASCII, which isNameOutsideAscii judges.
constexpr std::array<bool, 256> nameBytes() {
  std::array<bool, 256> bytes{};
  for (int c = 0; c < 256; ++c) {
    const auto b = static_cast<unsigned char>(c);
    bytes[b] = isAsciiNameStart(b) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c >= 0x80;
  }
  return bytes;
}
constexpr std::array<bool, 256> kNameByte = nameBytes();

// Bytes of an attribute value that need no closer look.
constexpr std::array<bool, 256> plainValueBytes() {
  std::array<bool, 256> bytes{};
  for (int c = 0x20; c < 0x80; ++c) {
    bytes[static_cast<unsigned char>(c)] = c != '<' && c != '&' && c != '"' && c != '\'';
  }
  return bytes;
}
constexpr std::array<bool, 256> kPlainValueByte = plainValueBytes();

bool isTrail(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
           return lower(x) == lower(y);
         });
}

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

struct DeclarationCheck {
  bool hasEncoding = false;
  std::string encoding;
};

void XMLCALL onDeclaration(void* data, const XML_Char*, const XML_Char* encoding, int) {
  auto& check = *static_cast<DeclarationCheck*>(data);
  if (encoding != nullptr) {
    check.hasEncoding = true;
    check.encoding = encoding;
  }
}

// Whether expat accepts this XML declaration, and it names no encoding but UTF-8.
bool isUtf8Declaration(std::string_view declaration) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  if (parser == nullptr) throw std::bad_alloc();
  DeclarationCheck check;
  XML_SetUserData(parser, &check);
  XML_SetXmlDeclHandler(parser, &onDeclaration);
  std::string document(declaration);
  document += "<a/>";
  const bool accepted = XML_Parse(parser, document.data(), static_cast<int>(document.size()),
                                  XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return accepted && (!check.hasEncoding || equalsIgnoringCase(check.encoding, "UTF-8"));
}

// The XML declaration at the start of `text`, "<?xml ...?>", or an empty view when the text
// does not start with one; nullopt when it starts with one that does not end within it.
std::optional<std::string_view> declarationAtStart(std::string_view text) {
  if (!text.starts_with("<?xml")) return std::string_view();
  if (text.size() > 5 && !isSpace(text[5]) && text[5] != '?') return std::string_view();
  const std::size_t end = text.find("?>");
  if (end == std::string_view::npos) return std::nullopt;
  return text.substr(0, end + 2);
}

}  // namespace

bool isPlainUtf8Part(std::string_view head) {
  if (head.starts_with(kByteOrderMark)) {
    head.remove_prefix(kByteOrderMark.size());
  } else if (head.size() >= 2 && (head[0] == '\0' || head[1] == '\0' ||
                                  head.starts_with("\xFE\xFF") || head.starts_with("\xFF\xFE"))) {
    return false;  // UTF-16, with or without a byte-order mark
  }
  const auto declaration = declarationAtStart(head);
  if (!declaration) return false;
  return declaration->empty() || isUtf8Declaration(*declaration);
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

SheetTokenizer::SheetTokenizer(ZipEntry entry, SheetCells& cells, std::size_t chunkSize)
    : entry_(std::move(entry)),
      cells_(cells),
      chunkSize_(std::max<std::size_t>(chunkSize, 1)),
      buffer_(std::make_unique<char[]>(chunkSize_ + 1)),
      capacity_(chunkSize_) {
  buffer_[0] = '\0';
}

SheetTokenizer::Progress SheetTokenizer::step() {
  if (failure_) std::rethrow_exception(failure_);
  if (finished_) return Progress::Finished;
  try {
    if (!started_) {
      started_ = true;
      // The byte-order mark and XML declaration are judged whole, however small the chunks.
      while (end_ < kHeadBytes && !atEnd_) refill();
      if (!isPlainUtf8Part(std::string_view(buffer_.get(), end_))) {
        finish();
        return Progress::OtherEncoding;
      }
      skipDeclaration();
    }
    for (;;) {
      const Outcome outcome = parseNext();
      switch (outcome) {
        case Outcome::Done:
          break;
        case Outcome::Paused:
          return Progress::Paused;
        case Outcome::Stopped:
          finish();
          return Progress::Finished;
        case Outcome::NeedMore:
          if (atEnd_) {
            if (phase_ == Phase::Epilog && begin_ == end_) {
              finish();
              return Progress::Finished;
            }
            const bool nothing = phase_ == Phase::Prolog && begin_ == end_;
            malformed(buffer_.get() + end_,
                      nothing ? XML_ERROR_NO_ELEMENTS : XML_ERROR_UNCLOSED_TOKEN);
          }
          refill();
          break;
      }
    }
  } catch (...) {
    failWith(std::current_exception());
  }
}

void SheetTokenizer::failWith(std::exception_ptr failure) {
  failure_ = std::move(failure);
  finish();
  std::rethrow_exception(failure_);
}

void SheetTokenizer::finish() {
  finished_ = true;
  // Nothing more is read from the part; the archive may open another.
  entry_.stop();
}

bool SheetTokenizer::refill() {
  // Line ends in what is let go, for the line numbers of errors.
  const char* base = buffer_.get();
  for (const char* p = base; p < base + begin_;) {
    const void* found = std::memchr(p, '\n', static_cast<std::size_t>(base + begin_ - p));
    if (found == nullptr) break;
    p = static_cast<const char*>(found) + 1;
    ++line_;
    lineStartOffset_ = bufferOffset_ + static_cast<std::uint64_t>(p - base);
  }
  // What is left is the start of a piece of markup or a character cut by the chunk's end:
  // a few bytes as a rule, and only a tag or comment longer than the buffer makes it grow.
  std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
  bufferOffset_ += begin_;
  end_ -= begin_;
  begin_ = 0;
  if (capacity_ - end_ < chunkSize_) {
    std::size_t larger = capacity_ * 2;
    while (larger - end_ < chunkSize_) larger *= 2;
    auto buffer = std::make_unique<char[]>(larger + 1);
    std::memcpy(buffer.get(), buffer_.get(), end_);
    buffer_ = std::move(buffer);
    capacity_ = larger;
  }
  const std::size_t before = end_;
  while (end_ - before < chunkSize_ && !atEnd_) {
    const std::size_t got = entry_.read(buffer_.get() + end_, chunkSize_ - (end_ - before));
    if (got == 0) atEnd_ = true;
    end_ += got;
  }
  buffer_[end_] = '\0';
  return end_ > before;
}

void SheetTokenizer::skipDeclaration() {
  const std::string_view head(buffer_.get(), end_);
  std::size_t at = head.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  const auto declaration = declarationAtStart(head.substr(at));
  if (!declaration || (!declaration->empty() && !isUtf8Declaration(*declaration))) {
    // Such a part is expat's to read (isPlainUtf8Part).
    malformed(buffer_.get() + at, XML_ERROR_XML_DECL);
  }
  begin_ = at + declaration->size();
}

void SheetTokenizer::malformed(const char* at, int expatCode) {
  std::uint64_t line = line_;
  std::uint64_t lineStart = lineStartOffset_;
  for (const char* p = buffer_.get(); p < at; ++p) {
    if (*p == '\n') {
      ++line;
      lineStart = bufferOffset_ + static_cast<std::uint64_t>(p + 1 - buffer_.get());
    }
  }
  const std::uint64_t offset = bufferOffset_ + static_cast<std::uint64_t>(at - buffer_.get());
  throw WorkbookError(ErrorKind::kWorkbookDamaged, {entry_.fileName()},
                      "the workbook part " + entry_.part() + " is not well-formed XML (line " +
                          std::to_string(line) + ", column " + std::to_string(offset - lineStart) +
                          "): " + XML_ErrorString(static_cast<XML_Error>(expatCode)));
}

SheetTokenizer::Outcome SheetTokenizer::parseNext() {
  // Piece after piece without going back to step(), which has nothing to do until a row is
  // ready or the bytes run out.
  for (;;) {
    if (begin_ == end_) return Outcome::NeedMore;
    const Outcome outcome = parsePiece();
    if (outcome != Outcome::Done) return outcome;
  }
}

inline SheetTokenizer::Outcome SheetTokenizer::parsePiece() {
  const char* p = buffer_.get() + begin_;
  const char* end = buffer_.get() + end_;
  if (phase_ == Phase::Content) return *p == '<' ? parseMarkup(p) : parseText(p);
  // Before and after the root element only white space may stand between the markup.
  while (isSpace(*p)) ++p;
  begin_ = static_cast<std::size_t>(p - buffer_.get());
  if (p == end) return Outcome::NeedMore;
  if (*p != '<') {
    malformed(p, phase_ == Phase::Prolog ? XML_ERROR_SYNTAX : XML_ERROR_JUNK_AFTER_DOC_ELEMENT);
  }
  return parseMarkup(p);
}

SheetTokenizer::Outcome SheetTokenizer::parseMarkup(const char* p) {
  const char* end = buffer_.get() + end_;
  if (end - p < 2) return Outcome::NeedMore;
  switch (p[1]) {
    case '/':
      if (phase_ != Phase::Content) malformed(p, XML_ERROR_SYNTAX);
      return parseEndTag(p);
    case '?':
      return parseProcessingInstruction(p);
    case '!':
      return parseMarkupDeclaration(p);
    default:
      if (phase_ == Phase::Epilog) malformed(p, XML_ERROR_JUNK_AFTER_DOC_ELEMENT);
      return parseStartTag(p);
  }
}

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

[[gnu::always_inline]] inline const char* SheetTokenizer::scanName(const char* p,
                                                                   const char* nameStart) {
  const char* end = buffer_.get() + end_;
  if (p == end) return nullptr;
  const auto first = static_cast<unsigned char>(*p);
  if (first < 0x80 && !isAsciiNameStart(first)) malformed(p, XML_ERROR_INVALID_TOKEN);
  unsigned char any = first;
  ++p;
  while (kNameByte[static_cast<unsigned char>(*p)]) any |= static_cast<unsigned char>(*p++);
  if (p == end) return nullptr;  // the name may go on
  if (any >= 0x80) checkNameOutsideAscii(nameStart, p);
  return p;
}

void SheetTokenizer::checkNameOutsideAscii(const char* nameStart, const char* nameEnd) {
  if (!isNameOutsideAscii(
          std::string_view(nameStart, static_cast<std::size_t>(nameEnd - nameStart)))) {
    malformed(nameStart, XML_ERROR_INVALID_TOKEN);
  }
}

std::size_t SheetTokenizer::characterLength(const char* p) {
  const auto c = static_cast<unsigned char>(p[0]);
  const auto available = static_cast<std::size_t>(buffer_.get() + end_ - p);
  if (c < 0x80) {
    if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') malformed(p, XML_ERROR_INVALID_TOKEN);
    return 1;
  }
  std::size_t length;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (c < 0xC2) {
    malformed(p, XML_ERROR_INVALID_TOKEN);
  } else if (c < 0xE0) {
    length = 2;
  } else if (c < 0xF0) {
    length = 3;
    if (c == 0xE0) low = 0xA0;
    if (c == 0xED) high = 0x9F;  // no surrogates
  } else if (c < 0xF5) {
    length = 4;
    if (c == 0xF0) low = 0x90;
    if (c == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    malformed(p, XML_ERROR_INVALID_TOKEN);
  }
  if (available < length) {
    // A character cut by the end of the chunk; one cut by the end of the part is an error.
    for (std::size_t i = 1; i < available; ++i) {
      const auto next = static_cast<unsigned char>(p[i]);
      if (i == 1 ? (next < low || next > high) : !isTrail(next)) {
        malformed(p, XML_ERROR_INVALID_TOKEN);
      }
    }
    if (atEnd_) malformed(p, XML_ERROR_PARTIAL_CHAR);
    return 0;
  }
  const auto second = static_cast<unsigned char>(p[1]);
  if (second < low || second > high) malformed(p, XML_ERROR_INVALID_TOKEN);
  for (std::size_t i = 2; i < length; ++i) {
    if (!isTrail(static_cast<unsigned char>(p[i]))) malformed(p, XML_ERROR_INVALID_TOKEN);
  }
  // U+FFFE and U+FFFF are no characters XML allows.
  if (c == 0xEF && second == 0xBF && static_cast<unsigned char>(p[2]) >= 0xBE) {
    malformed(p, XML_ERROR_INVALID_TOKEN);
  }
  return length;
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

void SheetTokenizer::emit(std::string_view text) {
  if (!text.empty()) cells_.characters(text);
}

SheetTokenizer::Outcome SheetTokenizer::parseText(const char* p) {
  const char* base = buffer_.get();
  const char* end = base + end_;
  const bool collect = cells_.collecting();
  const char* run = p;  // the plain text not handed over yet
  const auto flush = [&](const char* upTo) {
    if (collect && upTo > run) emit(std::string_view(run, static_cast<std::size_t>(upTo - run)));
    begin_ = static_cast<std::size_t>(upTo - base);
  };
  for (;;) {
    while (kTextClass[static_cast<unsigned char>(*p)] == kPlain) ++p;
    if (p == end) break;
    const auto c = static_cast<unsigned char>(*p);
    if (c == '<') {
      flush(p);
      return Outcome::Done;
    }
    if (c == '&') {
      flush(p);
      char bytes[4];
      std::size_t length = 0;
      const std::size_t consumed = decodeReference(p, bytes, length);
      if (consumed == 0) return Outcome::NeedMore;
      if (collect) emit(std::string_view(bytes, length));
      p += consumed;
      run = p;
      begin_ = static_cast<std::size_t>(p - base);
    } else if (c == '\r') {
      // A line end written as CR LF or CR alone reads as LF.
      flush(p);
      if (p + 1 == end && !atEnd_) return Outcome::NeedMore;
      p += p + 1 < end && p[1] == '\n' ? 2 : 1;
      if (collect) emit("\n");
      run = p;
      begin_ = static_cast<std::size_t>(p - base);
    } else if (c == ']') {
      // "]]>" may end a CDATA section only.
      if (end - p < 3 && !atEnd_) {
        flush(p);
        return Outcome::NeedMore;
      }
      if (end - p >= 3 && p[1] == ']' && p[2] == '>') malformed(p, XML_ERROR_INVALID_TOKEN);
      ++p;
    } else {
      const std::size_t length = characterLength(p);
      if (length == 0) {
        flush(p);
        return Outcome::NeedMore;
      }
      p += length;
    }
  }
  flush(p);
  return Outcome::NeedMore;
}

SheetTokenizer::Outcome SheetTokenizer::parseStartTag(const char* p) {
  const char* end = buffer_.get() + end_;
  const char* q = scanName(p + 1, p + 1);
  if (q == nullptr) return Outcome::NeedMore;
  const std::string_view name(p + 1, static_cast<std::size_t>(q - p - 1));
  attributeCount_ = 0;
  bool anyToDecode = false;
  bool empty = false;
  for (;;) {
    if (q == end) return Outcome::NeedMore;
    if (*q == '>') {
      ++q;
      break;
    }
    if (*q == '/') {
      if (q + 1 == end) return Outcome::NeedMore;
      if (q[1] != '>') malformed(q, XML_ERROR_INVALID_TOKEN);
      q += 2;
      empty = true;
      break;
    }
    // Each attribute follows white space.
    if (!isSpace(*q)) malformed(q, XML_ERROR_INVALID_TOKEN);
    while (isSpace(*q)) ++q;
    if (q == end) return Outcome::NeedMore;
    if (*q == '>' || *q == '/') continue;

    const char* nameStart = q;
    q = scanName(q, q);
    if (q == nullptr) return Outcome::NeedMore;
    const std::string_view attributeName(nameStart, static_cast<std::size_t>(q - nameStart));
    while (isSpace(*q)) ++q;
    if (q == end) return Outcome::NeedMore;
    if (*q != '=') malformed(q, XML_ERROR_INVALID_TOKEN);
    ++q;
    while (isSpace(*q)) ++q;
    if (q == end) return Outcome::NeedMore;
    const char quote = *q;
    if (quote != '"' && quote != '\'') malformed(q, XML_ERROR_INVALID_TOKEN);
    const char* valueStart = ++q;
    bool plain = true;
    for (;;) {
      while (kPlainValueByte[static_cast<unsigned char>(*q)]) ++q;
      if (q == end) return Outcome::NeedMore;
      const auto c = static_cast<unsigned char>(*q);
      if (c == static_cast<unsigned char>(quote)) {
        break;
      } else if (c == '"' || c == '\'') {
        ++q;
      } else if (c == '<') {
        malformed(q, XML_ERROR_INVALID_TOKEN);
      } else if (c == '&') {
        plain = false;
        char bytes[4];
        std::size_t length = 0;
        const std::size_t consumed = decodeReference(q, bytes, length);
        if (consumed == 0) return Outcome::NeedMore;
        q += consumed;
      } else {
        if (c == '\t' || c == '\n' || c == '\r') plain = false;
        const std::size_t length = characterLength(q);
        if (length == 0) return Outcome::NeedMore;
        q += length;
      }
    }
    if (attributeCount_ == attributes_.size()) {
      attributes_.emplace_back();
      found_.emplace_back();
    }
    const std::string_view raw(valueStart, static_cast<std::size_t>(q - valueStart));
    attributes_[attributeCount_] = {attributeName, raw, plain};
    found_[attributeCount_] = {localName(attributeName), raw};
    ++attributeCount_;
    anyToDecode |= !plain;
    ++q;
  }

  // No attribute twice.
  if (attributeCount_ <= 16) {
    for (std::size_t i = 1; i < attributeCount_; ++i) {
      for (std::size_t j = 0; j < i; ++j) {
        if (sameShortName(attributes_[i].name, attributes_[j].name)) {
          malformed(attributes_[i].name.data(), XML_ERROR_DUPLICATE_ATTRIBUTE);
        }
      }
    }
  } else {
    std::vector<std::string_view> names;
    names.reserve(attributeCount_);
    for (std::size_t i = 0; i < attributeCount_; ++i) names.push_back(attributes_[i].name);
    std::sort(names.begin(), names.end());
    const auto twice = std::adjacent_find(names.begin(), names.end());
    if (twice != names.end()) malformed(twice->data(), XML_ERROR_DUPLICATE_ATTRIBUTE);
  }
  if (openNames_.depth() == kMaxDepth) {
    throw WorkbookError(ErrorKind::kWorkbookDamaged, {entry_.fileName()},
                        "the workbook part " + entry_.part() + " nests elements too deeply");
  }

  if (anyToDecode) {
    // Sized first, so that no decoded value moves while the others are decoded.
    if (decoded_.size() < attributeCount_) decoded_.resize(attributeCount_);
    for (std::size_t i = 0; i < attributeCount_; ++i) {
      if (attributes_[i].plain) continue;
      decodeValue(attributes_[i].raw, decoded_[i]);
      found_[i].value = decoded_[i];
    }
  }

  phase_ = Phase::Content;
  begin_ = static_cast<std::size_t>(q - buffer_.get());
  const std::string_view local = localName(name);
  const XmlAction action =
      cells_.startElement(local, ElementAttributes(found_.data(), attributeCount_));
  if (!empty) {
    openNames_.push(name);
    return act(action);
  }
  if (action == XmlAction::Stop) return act(action);
  if (openNames_.empty()) phase_ = Phase::Epilog;
  const XmlAction endAction = cells_.endElement(local);
  return act(action == XmlAction::Pause && endAction == XmlAction::Continue ? action : endAction);
}

SheetTokenizer::Outcome SheetTokenizer::parseEndTag(const char* p) {
  const char* end = buffer_.get() + end_;
  const std::string_view open = openNames_.top();
  const char* q = p + 2;
  // Nearly every end tag is the open element's name, checked when it was opened, and '>':
  // matched as bytes, it needs no scanning.
  if (static_cast<std::size_t>(end - q) > open.size() &&
      sameShortName(std::string_view(q, open.size()), open) && q[open.size()] == '>') {
    q += open.size();
  } else {
    q = scanName(q, q);
    if (q == nullptr) return Outcome::NeedMore;
    const std::string_view name(p + 2, static_cast<std::size_t>(q - p - 2));
    while (isSpace(*q)) ++q;
    if (q == end) return Outcome::NeedMore;
    if (*q != '>') malformed(q, XML_ERROR_INVALID_TOKEN);
    if (open != name) malformed(p, XML_ERROR_TAG_MISMATCH);
  }
  const std::string_view name(p + 2, open.size());
  openNames_.pop();
  if (openNames_.empty()) phase_ = Phase::Epilog;
  begin_ = static_cast<std::size_t>(q + 1 - buffer_.get());
  return act(cells_.endElement(localName(name)));
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

SheetTokenizer::Outcome SheetTokenizer::act(XmlAction action) {
  switch (action) {
    case XmlAction::Continue:
      return Outcome::Done;
    case XmlAction::Pause:
      return Outcome::Paused;
    case XmlAction::Stop:
      finished_ = true;
      return Outcome::Stopped;
  }
  return Outcome::Done;
}

}  // namespace kvd507::workbook::xlsx
