#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <string>
#include <string_view>

namespace kvd507::rows {

// A text with a number in it, "Patikriname įrašus: 12", made again for every row in one
// buffer: the status of a long operation changes with each row, and making a new string for
// each would cost more than the row's own work.
class NumberedText {
 public:
  NumberedText(std::string_view before, std::string_view after)
      : text_(before), before_(before.size()), after_(after) {}

  // The text with `number` in it; valid until the next call.
  std::string_view operator()(std::size_t number) {
    std::array<char, 24> digits{};
    char* const end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
    text_.resize(before_);
    text_.append(digits.data(), static_cast<std::size_t>(end - digits.data()));
    text_ += after_;
    return text_;
  }

 private:
  std::string text_;
  std::size_t before_;
  std::string after_;
};

}  // namespace kvd507::rows
