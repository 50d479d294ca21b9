#pragma once

#include <cstddef>
#include <exception>
#include <string_view>

#include "spreadsheet/xlsx/ZipArchive.h"

struct XML_ParserStruct;

namespace kvd507::spreadsheet::xlsx {

// What a handler wants after an element: go on, pause so that the reader's owner can hand
// out what was gathered (streaming), or stop reading the part for good.
enum class XmlAction { Continue, Pause, Stop };

// Receives the elements of one part. Names are local names: prefixes such as "x:" are cut off,
// and namespaces are not looked at, so transitional and strict files read alike. A handler may
// throw; the exception reaches the caller of XmlReader::step.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  // `attributes` alternates names and values and ends with a null pointer.
  virtual XmlAction startElement(std::string_view name, const char** attributes) = 0;
  virtual XmlAction endElement(std::string_view name) = 0;
  virtual void characters(std::string_view text) = 0;
};

// The value of the attribute with this local name, or null when it is absent.
const char* findAttribute(const char** attributes, std::string_view localName);

// Parses one zip part with expat, chunk by chunk as it inflates, so that no part is ever held
// whole. Document type declarations are refused: a workbook part never has one, and refusing
// them means no entity is ever defined, expanded or loaded.
class XmlReader {
 public:
  XmlReader(ZipEntry entry, XmlHandler& handler);
  ~XmlReader();
  XmlReader(const XmlReader&) = delete;
  XmlReader& operator=(const XmlReader&) = delete;

  enum class Progress { Continuing, Paused, Finished };

  // Parses the next chunk (or the rest of a paused one). Throws WorkbookError when the part is
  // not well-formed, and whatever a handler threw.
  Progress step();
  // Parses the whole part.
  void readAll();

 private:
  struct Callbacks;

  void fail(std::exception_ptr failure);
  void act(XmlAction action);
  [[noreturn]] void throwParseError();
  [[noreturn]] void throwFailure();

  ZipEntry entry_;
  XmlHandler& handler_;
  XML_ParserStruct* parser_;
  std::exception_ptr failure_;
  std::size_t depth_ = 0;
  bool paused_ = false;
  bool stopped_ = false;
  bool lastChunkFed_ = false;
};

}  // namespace kvd507::spreadsheet::xlsx
