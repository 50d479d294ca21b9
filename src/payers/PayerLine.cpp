#include "payers/PayerLine.h"

#include <vector>

#include "text/TextLines.h"

namespace kvd507::payers {

std::optional<Payer> splitPayerLine(std::string_view line) {
  std::string broken(line);
  for (char& c : broken) {
    if (c == ';') c = '\n';
  }
  std::vector<std::string> pieces = text::splitLines(broken);
  if (pieces.empty()) return std::nullopt;

  Payer payer{std::move(pieces[0]), std::nullopt};
  if (pieces.size() > 1) payer.code = std::move(pieces[1]);
  return payer;
}

std::string joinPayerLine(std::string_view name, std::string_view code) {
  std::string line(name);
  line += ';';
  line += code;
  return line;
}

std::optional<LineBreaker> findLineBreaker(std::string_view text) {
  if (text.find(';') != std::string_view::npos) return LineBreaker::kSeparator;
  if (text.find_first_of("\r\n") != std::string_view::npos) return LineBreaker::kLineBreak;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
    const bool c1 = byte == 0xC2 && i + 1 < text.size() &&
                    static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                    static_cast<unsigned char>(text[i + 1]) <= 0x9F;
    if (byte < 0x20 || byte == 0x7F || c1) return LineBreaker::kControl;
  }
  return std::nullopt;
}

std::string lineBreakerText(LineBreaker breaker) {
  switch (breaker) {
    case LineBreaker::kSeparator:
      return "negali būti kabliataškio (;)";
    case LineBreaker::kLineBreak:
      return "negali būti eilutės lūžio";
    case LineBreaker::kControl:
      return "negali būti valdymo ženklų";
  }
  return {};
}

}  // namespace kvd507::payers
