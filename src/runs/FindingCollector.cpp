#include "runs/FindingCollector.h"

namespace kvd507::runs {

void FindingCollector::rowTaken(std::string_view sheet, bool merged) {
  auto found = taken_.find(sheet);
  if (found == taken_.end()) found = taken_.emplace(std::string(sheet), Taken{}).first;
  ++found->second.rows;
  if (merged) ++found->second.merged;
}

FindingCollector::Taken FindingCollector::taken(std::string_view sheet) const {
  const auto found = taken_.find(sheet);
  return found == taken_.end() ? Taken{} : found->second;
}

}  // namespace kvd507::runs
