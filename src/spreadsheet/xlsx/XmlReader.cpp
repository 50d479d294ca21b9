#include "spreadsheet/xlsx/XmlReader.h"

#include <expat.h>

#include <new>
#include <string>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/XmlNames.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

constexpr int kChunkSize = 64 * 1024;
// Workbook parts nest a dozen levels at most; far deeper nesting is an attack on memory.
constexpr std::size_t kMaxDepth = 256;

}  // namespace

const char* findAttribute(const char** attributes, std::string_view name) {
  for (; attributes[0] != nullptr; attributes += 2) {
    if (localName(attributes[0]) == name) return attributes[1];
  }
  return nullptr;
}

// Expat calls C functions; these catch everything, since no exception may cross expat.
struct XmlReader::Callbacks {
  static void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& self = *static_cast<XmlReader*>(data);
    if (self.failure_ || self.stopped_) return;
    try {
      if (++self.depth_ > kMaxDepth) {
        throw WorkbookError(
            ErrorKind::kWorkbookDamaged, {self.entry_.fileName()},
            "the workbook part " + self.entry_.part() + " nests elements too deeply");
      }
      self.act(self.handler_.startElement(localName(name), attributes));
    } catch (...) {
      self.fail(std::current_exception());
    }
  }

  static void XMLCALL end(void* data, const XML_Char* name) {
    auto& self = *static_cast<XmlReader*>(data);
    if (self.failure_ || self.stopped_) return;
    try {
      --self.depth_;
      self.act(self.handler_.endElement(localName(name)));
    } catch (...) {
      self.fail(std::current_exception());
    }
  }

  static void XMLCALL text(void* data, const XML_Char* text, int length) {
    auto& self = *static_cast<XmlReader*>(data);
    if (self.failure_ || self.stopped_) return;
    try {
      self.handler_.characters(std::string_view(text, static_cast<std::size_t>(length)));
    } catch (...) {
      self.fail(std::current_exception());
    }
  }

  static void refuseDocumentType(XmlReader& self) {
    if (self.failure_) return;
    self.fail(std::make_exception_ptr(
        WorkbookError(ErrorKind::kWorkbookDocumentType, {self.entry_.fileName()},
                      "the workbook part " + self.entry_.part() +
                          " declares a document type, which no workbook part has")));
  }

  static void XMLCALL doctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    refuseDocumentType(*static_cast<XmlReader*>(data));
  }

  static void XMLCALL entity(void* data, const XML_Char*, int, const XML_Char*, int,
                             const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
    refuseDocumentType(*static_cast<XmlReader*>(data));
  }
};

XmlReader::XmlReader(ZipEntry entry, XmlHandler& handler)
    : entry_(std::move(entry)), handler_(handler), parser_(XML_ParserCreate(nullptr)) {
  if (parser_ == nullptr) throw std::bad_alloc();
  XML_SetUserData(parser_, this);
  XML_SetElementHandler(parser_, &Callbacks::start, &Callbacks::end);
  XML_SetCharacterDataHandler(parser_, &Callbacks::text);
  XML_SetStartDoctypeDeclHandler(parser_, &Callbacks::doctype);
  XML_SetEntityDeclHandler(parser_, &Callbacks::entity);
  XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
}

XmlReader::~XmlReader() {
  XML_ParserFree(parser_);
}

void XmlReader::fail(std::exception_ptr failure) {
  failure_ = std::move(failure);
  XML_StopParser(parser_, XML_FALSE);
}

void XmlReader::act(XmlAction action) {
  switch (action) {
    case XmlAction::Continue:
      break;
    case XmlAction::Pause:
      XML_StopParser(parser_, XML_TRUE);
      break;
    case XmlAction::Stop:
      stopped_ = true;
      XML_StopParser(parser_, XML_FALSE);
      break;
  }
}

void XmlReader::throwParseError() {
  const XML_Error code = XML_GetErrorCode(parser_);
  std::string cause = "the workbook part " + entry_.part() + " is not well-formed XML (line " +
                      std::to_string(XML_GetCurrentLineNumber(parser_)) + ", column " +
                      std::to_string(XML_GetCurrentColumnNumber(parser_)) +
                      "): " + XML_ErrorString(code);
  failure_ = std::make_exception_ptr(
      WorkbookError(ErrorKind::kWorkbookDamaged, {entry_.fileName()}, std::move(cause)));
  throwFailure();
}

void XmlReader::throwFailure() {
  stopped_ = true;
  std::rethrow_exception(failure_);
}

XmlReader::Progress XmlReader::step() {
  // A part that failed keeps failing: its rest cannot be trusted.
  if (failure_) throwFailure();
  if (stopped_) return Progress::Finished;
  XML_Status status;
  if (paused_) {
    paused_ = false;
    status = XML_ResumeParser(parser_);
  } else {
    if (lastChunkFed_) return Progress::Finished;
    void* buffer = XML_GetBuffer(parser_, kChunkSize);
    if (buffer == nullptr) throw std::bad_alloc();
    std::size_t got = 0;
    try {
      got = entry_.read(static_cast<char*>(buffer), kChunkSize);
    } catch (const WorkbookError&) {
      failure_ = std::current_exception();
      throwFailure();
    }
    lastChunkFed_ = got == 0;
    status = XML_ParseBuffer(parser_, static_cast<int>(got), lastChunkFed_ ? XML_TRUE : XML_FALSE);
  }
  if (failure_) throwFailure();
  switch (status) {
    case XML_STATUS_SUSPENDED:
      paused_ = true;
      return Progress::Paused;
    case XML_STATUS_ERROR:
      if (stopped_) return Progress::Finished;
      throwParseError();
    case XML_STATUS_OK:
      break;
  }
  return lastChunkFed_ ? Progress::Finished : Progress::Continuing;
}

void XmlReader::readAll() {
  while (step() != Progress::Finished) {
  }
}

}  // namespace kvd507::spreadsheet::xlsx
