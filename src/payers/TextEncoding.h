#pragma once

#include <string>
#include <string_view>

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
};

// A byte-order mark decides the encoding. Without one the bytes are read as UTF-8 when they are
// well-formed UTF-8 and not plain ASCII, because a list edited by hand on Linux is UTF-8; any
// other bytes are read in the ANSI code page. Ill-formed sequences become U+FFFD.
DecodedText decodeText(std::string_view bytes);

// The byte-order mark that starts a file in this encoding; empty for those that have none.
std::string_view byteOrderMark(TextEncoding encoding);

// UTF-8 text in the given encoding, without the byte-order mark. A character that the ANSI code
// page cannot represent becomes "?".
std::string encodeText(std::string_view text, TextEncoding encoding);

// The text as it reads back from a file in the given encoding: in the ANSI code page, what the
// code page cannot represent has become "?"; the Unicode encodings keep everything.
std::string throughEncoding(std::string_view text, TextEncoding encoding);

}  // namespace kvd507::payers
