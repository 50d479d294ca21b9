#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kvd507::payers {

// Lines of a text: CR LF, a lone CR and a lone LF each end a line; a break at the very end starts
// no further line, while an empty line in the middle is a line of its own. Empty text has none.
std::vector<std::string> splitLines(std::string_view text);

}  // namespace kvd507::payers
