#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/xlsx/InflateAhead.h"
#include "spreadsheet/xlsx/NameStack.h"
#include "spreadsheet/xlsx/SheetCells.h"
#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::xlsx {

// Whether a part that begins with `head` (its first bytes, or all of it when shorter) is one
// SheetTokenizer reads: UTF-8, with no byte-order mark or declaration naming another
// encoding. Others go to expat, which knows them all.
bool isPlainUtf8Part(std::string_view head);

// A parser for worksheet parts, made for what they hold: it hands the elements of one part to
// SheetCells straight from the inflated chunks, copying nothing but the element names it must
// match, and skips what SheetCells does not keep without gathering it. The part is inflated a
// few chunks ahead on a thread of its own (InflateAhead) until parsing ends.
//
// It is as strict as expat, the parser of every other part: the part must be well-formed
// (names, nesting, attributes, references, comments, processing instructions, CDATA, UTF-8
// and the characters XML allows), the five predefined entities and character references are
// decoded as XML says, line ends and attribute white space are normalised, document type
// declarations are refused, and elements nest 256 deep at most. Reading stops where the cells
// end, as with expat. Parts for which isPlainUtf8Part says no are left to expat.
class SheetTokenizer {
 public:
  // `chunkSize` is how many bytes are inflated at a time; tests make it small so that the
  // markup is cut at every place.
  static constexpr std::size_t kChunkSize = std::size_t{128} * 1024;
  SheetTokenizer(ZipEntry entry, SheetCells& cells, std::size_t chunkSize = kChunkSize);

  enum class Progress {
    Paused,
    Finished,
    OtherEncoding,  // the part is not plain UTF-8 (isPlainUtf8Part); nothing was parsed
  };

  // Parses up to the next row made ready (Paused), or to the end (Finished). Throws
  // WorkbookError when the part is not well-formed or cannot be inflated, and whatever
  // SheetCells throws; after that every call throws the same.
  Progress step();

 private:
  struct Attribute {
    std::string_view name;
    std::string_view raw;  // as written between the quotes
    bool plain;            // no reference, no white space other than ' ' in it
  };

  enum class Phase : std::uint8_t { Prolog, Content, Epilog };
  // What parsing one piece of markup came to.
  enum class Outcome : std::uint8_t { Done, NeedMore, Paused, Stopped };

  // Parses pieces of markup and text until one pauses, stops or needs more bytes.
  Outcome parseNext();
  Outcome parsePiece();
  Outcome parseMarkup(const char* p);
  Outcome parseMarkupDeclaration(const char* p);  // "<!": a comment, CDATA or a document type
  Outcome parseText(const char* p);
  Outcome parseStartTag(const char* p);
  Outcome parseEndTag(const char* p);
  Outcome parseComment(const char* p);
  Outcome parseProcessingInstruction(const char* p);
  Outcome parseCData(const char* p);
  Outcome act(XmlAction action);

  // Scans a name from `p`; null when more bytes are needed, throws when there is none.
  const char* scanName(const char* p, const char* nameStart);
  // Throws unless the name, which has bytes beyond ASCII, is one XML allows.
  void checkNameOutsideAscii(const char* nameStart, const char* nameEnd);
  // Checks the character at `p` (not '<' or '&'); returns its length, 0 when more bytes are
  // needed. Throws when it is not a character XML allows.
  std::size_t characterLength(const char* p);
  // Decodes the reference at `p` (an '&') into `out`; returns its length, 0 when more bytes
  // are needed. Throws when XML does not define it.
  std::size_t decodeReference(const char* p, char* out, std::size_t& outLength);
  void decodeValue(std::string_view raw, std::string& out);
  void emit(std::string_view text);

  void skipDeclaration();
  // Moves what is not parsed yet to the front and inflates one more chunk behind it, growing
  // the buffer when that leaves too little room. False at the end of the part.
  bool refill();
  [[noreturn]] void malformed(const char* at, int expatCode);
  [[noreturn]] void failWith(std::exception_ptr failure);
  void finish();

  InflateAhead entry_;
  SheetCells& cells_;

  std::size_t chunkSize_;
  // Raw bytes the inflater writes into: an array, not value-initialised like a vector. It has
  // room for one byte more than `capacity_`, and a NUL always follows the bytes inflated: the
  // loops that scan names, values and text stop at it without comparing each byte's place with
  // the end. XML allows no NUL, so a loop that stops at one checks whether it is the end.
  std::unique_ptr<char[]> buffer_;  // NOLINT(modernize-avoid-c-arrays)
  std::size_t capacity_;
  std::size_t begin_ = 0;  // first byte not parsed yet
  std::size_t end_ = 0;    // end of the bytes inflated so far
  bool atEnd_ = false;     // nothing more to inflate
  bool started_ = false;

  // Where the buffer stands in the part, for the line and column of an error.
  std::uint64_t line_ = 1;
  std::uint64_t lineStartOffset_ = 0;  // of the current line, in the part
  std::uint64_t bufferOffset_ = 0;     // of buffer_[0], in the part

  Phase phase_ = Phase::Prolog;
  // As for every other part (XmlReader).
  static constexpr std::size_t kMaxDepth = 256;
  NameStack<kMaxDepth> openNames_;
  // The start tag's attributes are the first `attributeCount_`, as written and as SheetCells
  // is given them; the vectors only grow, so that a tag costs no allocation or construction.
  std::vector<Attribute> attributes_;
  std::vector<ElementAttribute> found_;
  std::size_t attributeCount_ = 0;
  std::vector<std::string> decoded_;

  std::exception_ptr failure_;
  bool finished_ = false;
};

}  // namespace kvd507::spreadsheet::xlsx
