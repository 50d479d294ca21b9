// Feeds arbitrary bytes to the payer list's decoding and splitting: the encoding chosen by the
// mark or the bytes, the lines, each line's name and code, the order. Whatever the bytes, the
// text must come out as well-formed UTF-8 and a rewrite in the encoding read must read back as
// the same lines, so that saving a list never changes a payer the user did not touch.
// Seeds: fuzz/corpus/payer_file.

#include <unicode/utf8.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "payers/PayerFile.h"
#include "payers/PayerLine.h"
#include "payers/PayerOrder.h"
#include "payers/TextEncoding.h"
#include "text/TextLines.h"

namespace payers = kvd507::payers;
namespace text = kvd507::text;

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

bool isWellFormedUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  std::int32_t at = 0;
  while (at < length) {
    UChar32 c = 0;
    U8_NEXT(bytes, at, length, c);
    if (c < 0) return false;
  }
  return true;
}

bool hasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != text.npos;
}

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

// The payers of the lines as PayerFile::read keeps them, empty ones left out: one per line, and
// neither name nor code holds a separator or a line break.
void checkPayers(std::vector<std::string> lines) {
  std::erase_if(lines, [](const std::string& line) { return line.empty(); });
  const payers::PayerFile file("asmenys.txt", lines, payers::TextEncoding::Ansi);
  const std::vector<payers::Payer> all = file.payers();
  check(all.size() == lines.size());
  for (const payers::Payer& payer : all) {
    check(payer.name.find(';') == std::string::npos && !hasLineBreak(payer.name));
    if (payer.code) {
      check(payer.code->find(';') == std::string::npos && !hasLineBreak(*payer.code));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const payers::DecodedText decoded = payers::decodeText(bytes);
  check(isWellFormedUtf8(decoded.text));
  // Lines read in the code page are named only in a UTF-8 file, once each, in order.
  check(decoded.ansiLines.empty() || decoded.encoding == payers::TextEncoding::Utf8);
  for (std::size_t i = 0; i < decoded.ansiLines.size(); ++i) {
    check(decoded.ansiLines[i] >= 1 && (i == 0 || decoded.ansiLines[i] > decoded.ansiLines[i - 1]));
  }

  const std::vector<std::string> lines = text::splitLines(decoded.text);
  for (const std::string& line : lines) check(!hasLineBreak(line));
  checkPayers(lines);

  // What writing the list back stores, read again.
  const std::string rewritten = std::string(payers::byteOrderMark(decoded.encoding)) +
                                payers::encodeText(joinLines(lines), decoded.encoding);
  const payers::DecodedText reread = payers::decodeText(rewritten);
  const std::vector<std::string> rereadLines = text::splitLines(reread.text);
  if (decoded.encoding == payers::TextEncoding::Ansi) {
    // The code page cannot hold every character a damaged file decodes to ("?" stands in), and
    // a list of plain ASCII is ANSI whatever it was before; the lines stay lines.
    check(rereadLines.size() == lines.size());
  } else {
    check(reread.encoding == decoded.encoding);
    check(rereadLines == lines);
  }

  // Sorting keeps every line.
  std::vector<std::string> sorted = lines;
  payers::sortPayerLines(sorted, "lt_LT.UTF-8");
  std::vector<std::string> before = lines;
  std::sort(before.begin(), before.end());
  std::sort(sorted.begin(), sorted.end());
  check(before == sorted);
  return 0;
}
