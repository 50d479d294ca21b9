#include "support/CaseName.h"

namespace kvd507::test {

std::string caseName(std::string_view description) {
  std::string name;
  bool separate = false;
  for (const char c : description) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!plain) {
      separate = !name.empty();
      continue;
    }
    if (separate) name += '_';
    separate = false;
    name += c;
  }
  return name;
}

}  // namespace kvd507::test
