#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "rows/Finding.h"

namespace kvd507::declaration {

// The payer code or the year of a declaration: the main page's value is the declaration's; the
// appendix footers repeat it. A program of before wrote the window's payer and year into the
// footers even when the main page came from another declaration, so they may disagree: the main
// page's value is kept, and the pages that say otherwise are told.
class HeaderValue {
 public:
  // `what` names the value in the finding ("mokėtojo kodas", "metai").
  explicit HeaderValue(const char* what) : what_(what) {}

  void take(std::string value, std::uint32_t page);
  const std::optional<std::string>& value() const { return value_; }
  // One finding when a footer disagreed with the main page.
  void tell(rows::FindingSink& findings) const;

 private:
  const char* what_;
  std::optional<std::string> value_;
  std::optional<std::string> otherValue_;  // the first that disagreed
  std::vector<std::uint32_t> otherPages_;
};

}  // namespace kvd507::declaration
