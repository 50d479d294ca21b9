#pragma once

#include <string>

namespace kvd507::spreadsheet::xlsx {

// Decodes, in place, the "_xHHHH_" escapes with which workbooks store characters that XML
// cannot carry (such as "_x000D_" for a carriage return) into UTF-8. "_x005F_" is an escaped
// underscore, which is how a literal "_x0041_" is stored: "_x005F_x0041_".
void decodeEscapes(std::string& text);

}  // namespace kvd507::spreadsheet::xlsx
