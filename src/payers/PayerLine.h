#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kvd507::payers {

// One line of the payer list taken apart. Neither part is trimmed: spaces belong to the text.
struct Payer {
  std::string name;
  std::optional<std::string> code;  // none when the line has no second piece

  bool operator==(const Payer&) const = default;
};

// Every ";" counts as a line break and the result is taken apart by the line rules of the file:
// the first piece is the name, the second the code, further pieces are dropped. So "A;" has no
// code (a break at the end starts no piece), "A;;1" has an empty code and "A;B;1" the code "B".
// An empty line has no pieces at all and gives none.
std::optional<Payer> splitPayerLine(std::string_view line);

// The line as the program stores it: name, ";", code.
std::string joinPayerLine(std::string_view name, std::string_view code);

}  // namespace kvd507::payers
