#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "rows/Finding.h"

namespace kvd507::runs {

// Keeps what a run notices, in the order noticed, and counts the rows the readers take. Of each
// kind of finding only the first kMaxKept are kept with their places; the rest are counted, so
// that a sheet whose every row gives a finding costs no more memory than one with a thousand.
class FindingCollector : public rows::FindingSink {
 public:
  static constexpr std::size_t kMaxKept = 1000;

  struct Taken {
    std::size_t rows = 0;    // rows taken from the worksheet
    std::size_t merged = 0;  // of those, added into an earlier row with the same key
  };

  void add(rows::Finding finding) override;
  void rowTaken(std::string_view sheet, bool merged) override;

  // The findings kept, in the order noticed; after the last one kept of a kind that had more,
  // a finding of that kind without a place that says how many more there were ("ir dar 1 234
  // tokių pastabų").
  std::vector<rows::Finding> findings() const;
  Taken taken(std::string_view sheet) const;
  // How many findings of `kind` were added, kept or not.
  std::size_t count(rows::Finding::Kind kind) const;

 private:
  struct KindCount {
    std::size_t seen = 0;
    std::size_t lastKept = 0;  // index into findings_ of the last one kept
  };

  std::vector<rows::Finding> findings_;
  std::map<rows::Finding::Kind, KindCount> kinds_;
  std::map<std::string, Taken, std::less<>> taken_;
};

// How many amounts the findings say were counted as 0: no number, or too large.
std::size_t amountsNotCounted(const FindingCollector& findings);

// "ir dar 1 234 567 tokių pastabų": the finding told in place of `count` more of one kind.
std::string moreFindingsText(std::size_t count);

}  // namespace kvd507::runs
