#include "payers/PayerLine.h"

#include <vector>

#include "payers/TextLines.h"

namespace kvd507::payers {

std::optional<Payer> splitPayerLine(std::string_view line) {
  std::string broken(line);
  for (char& c : broken) {
    if (c == ';') c = '\n';
  }
  std::vector<std::string> pieces = splitLines(broken);
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

}  // namespace kvd507::payers
