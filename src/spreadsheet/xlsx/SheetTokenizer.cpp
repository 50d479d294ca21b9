#include "spreadsheet/xlsx/SheetTokenizer.h"

#include <expat.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/SheetTokenizerScanning.h"
#include "spreadsheet/xlsx/XmlNames.h"

// The loop of the tokenizer: text, start and end tags, and the steps between rows. The bytes
// it reads and its errors are in SheetTokenizerInput.cpp, the rarer markup (comments,
// processing instructions, CDATA, references) in SheetTokenizerMarkup.cpp.

namespace kvd507::spreadsheet::xlsx {

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

}  // namespace kvd507::spreadsheet::xlsx
