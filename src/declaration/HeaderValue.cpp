#include "declaration/HeaderValue.h"

#include <algorithm>
#include <utility>

namespace kvd507::declaration {
namespace {

// The pages named in a finding: a few, then how many more.
std::string pageList(const std::vector<std::uint32_t>& pages) {
  constexpr std::size_t kNamed = 10;
  std::string text;
  for (std::size_t i = 0; i < std::min(pages.size(), kNamed); ++i) {
    text += (i == 0 ? "" : ", ") + std::to_string(pages[i]);
  }
  if (pages.size() > kNamed) text += " ir dar " + std::to_string(pages.size() - kNamed);
  return text;
}

}  // namespace

void HeaderValue::take(std::string value, std::uint32_t page) {
  if (!value_) {
    value_ = std::move(value);
    return;
  }
  if (value == *value_) return;
  if (!otherValue_) otherValue_ = value;
  if (otherPages_.empty() || otherPages_.back() != page) otherPages_.push_back(page);
}

void HeaderValue::tell(rows::FindingSink& findings) const {
  if (otherPages_.empty()) return;
  const bool one = otherPages_.size() == 1;
  findings.add({rows::Finding::Kind::FooterDiffers,
                {},
                0,
                {},
                std::string(what_) + " " + (one ? "puslapio " : "puslapių ") +
                    pageList(otherPages_) + " poraštėje \"" + *otherValue_ +
                    "\", o pagrindiniame puslapyje \"" + *value_ +
                    "\"; forma laikoma pagrindinio puslapio"});
}

}  // namespace kvd507::declaration
