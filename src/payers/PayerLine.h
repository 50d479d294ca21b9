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

// What in a name or code would take its line apart, or make it no longer one line of text.
enum class LineBreaker {
  kSeparator,  // ";": the rest would be read as the code
  kLineBreak,  // CR or LF: the rest would be a line of its own
  kControl,    // any other control character (C0, DEL, C1), tab included
};

// The first of the above that the UTF-8 text holds, in the order of that list; none when the
// text can be stored as it is.
std::optional<LineBreaker> findLineBreaker(std::string_view text);

// Why such a text is refused, to follow the field's name: "negali būti kabliataškio (;)".
std::string lineBreakerText(LineBreaker breaker);

}  // namespace kvd507::payers
