#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvd507::payers {

// How the payer list was stored, so that a rewrite keeps it that way.
enum class TextEncoding {
  Ansi,          // no byte-order mark, the ANSI code page (Windows-1257)
  Utf8,          // no byte-order mark but well-formed UTF-8 with non-ASCII text in it
  Utf8WithMark,  // EF BB BF
  Utf16Le,       // FF FE
  Utf16Be,       // FE FF
};

// Linux has no ANSI code page; the files come from Lithuanian Windows, whose code page this is.
inline constexpr const char* kAnsiCodePage = "windows-1257";

struct DecodedText {
  std::string text;  // UTF-8, without the byte-order mark
  TextEncoding encoding;
  // In a UTF-8 file, the lines (counted from 1, as the line rules count them) that are no UTF-8
  // and were read in the ANSI code page instead; a rewrite stores them in UTF-8.
  std::vector<std::size_t> ansiLines = {};
};

// A byte-order mark decides the encoding. Without one, a list edited by hand on Linux is UTF-8
// and one written on Windows is in the ANSI code page, and a list may have lines of both: each
// line is read as UTF-8 where it is well-formed UTF-8 and in the ANSI code page otherwise. The
// file is UTF-8 when some line holds UTF-8 beyond ASCII (the others are then listed in
// ansiLines), and ANSI otherwise. Ill-formed UTF-16 becomes U+FFFD.
DecodedText decodeText(std::string_view bytes);

// The byte-order mark that starts a file in this encoding; empty for those that have none.
std::string_view byteOrderMark(TextEncoding encoding);

// UTF-8 text in the given encoding, without the byte-order mark. A character that the ANSI code
// page cannot represent becomes "?".
std::string encodeText(std::string_view text, TextEncoding encoding);

// The characters of UTF-8 `text` (each once, in the order met) that a file in the given
// encoding cannot hold: none but in the ANSI code page.
std::vector<std::string> unencodableCharacters(std::string_view text, TextEncoding encoding);

// The text as it reads back from a file in the given encoding: in the ANSI code page, what the
// code page cannot represent has become "?"; the Unicode encodings keep everything.
std::string throughEncoding(std::string_view text, TextEncoding encoding);

}  // namespace kvd507::payers
