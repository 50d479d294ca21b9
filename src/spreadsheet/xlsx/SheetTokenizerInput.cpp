#include <expat.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/SheetTokenizer.h"
#include "spreadsheet/xlsx/SheetTokenizerScanning.h"

// What SheetTokenizer reads: the part's encoding and XML declaration, the buffer the part is
// inflated into, and where an error stands in the part.

namespace kvd507::spreadsheet::xlsx {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

}  // namespace kvd507::spreadsheet::xlsx
