#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "rows/Finding.h"

namespace kvd507::runs {

// Keeps what a run notices, in the order noticed, and counts the rows the readers take.
class FindingCollector : public rows::FindingSink {
 public:
  struct Taken {
    std::size_t rows = 0;    // rows taken from the worksheet
    std::size_t merged = 0;  // of those, added into an earlier row with the same key
  };

  void add(rows::Finding finding) override { findings_.push_back(std::move(finding)); }
  void rowTaken(std::string_view sheet, bool merged) override;

  const std::vector<rows::Finding>& findings() const { return findings_; }
  Taken taken(std::string_view sheet) const;

 private:
  std::vector<rows::Finding> findings_;
  std::map<std::string, Taken, std::less<>> taken_;
};

}  // namespace kvd507::runs
