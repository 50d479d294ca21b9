#pragma once

#include <expat.h>

#include <string>
#include <string_view>

namespace kvd507::test {

// Empty when `document` is well-formed XML, otherwise expat's complaint and where it arose.
inline std::string xmlError(std::string_view document) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  std::string error;
  if (XML_Parse(parser, document.data(), static_cast<int>(document.size()), XML_TRUE) ==
      XML_STATUS_ERROR) {
    error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
            std::to_string(XML_GetCurrentLineNumber(parser));
  }
  XML_ParserFree(parser);
  return error;
}

}  // namespace kvd507::test
