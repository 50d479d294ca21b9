#include "runs/FindingCollector.h"

#include <utility>

namespace kvd507::runs {

std::string moreFindingsText(std::size_t count) {
  // Thousands set apart by spaces, as in the other messages: 1 234 567.
  std::string digits = std::to_string(count);
  for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, " ");
  return "ir dar " + digits + " tokių pastabų";
}

void FindingCollector::add(rows::Finding finding) {
  KindCount& kind = kinds_[finding.kind];
  if (kind.seen++ >= kMaxKept) return;
  kind.lastKept = findings_.size();
  findings_.push_back(std::move(finding));
}

std::vector<rows::Finding> FindingCollector::findings() const {
  // Where each count of the left out goes: after the last finding kept of its kind.
  std::map<std::size_t, const std::pair<const rows::Finding::Kind, KindCount>*> more;
  for (const auto& entry : kinds_) {
    if (entry.second.seen > kMaxKept) more.emplace(entry.second.lastKept, &entry);
  }
  std::vector<rows::Finding> all;
  all.reserve(findings_.size() + more.size());
  for (std::size_t i = 0; i < findings_.size(); ++i) {
    all.push_back(findings_[i]);
    if (const auto found = more.find(i); found != more.end()) {
      const auto& [kind, count] = *found->second;
      all.push_back(
          {kind, {}, 0, {}, moreFindingsText(count.seen - kMaxKept), count.seen - kMaxKept});
    }
  }
  return all;
}

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

std::size_t FindingCollector::count(rows::Finding::Kind kind) const {
  const auto found = kinds_.find(kind);
  return found == kinds_.end() ? 0 : found->second.seen;
}

std::size_t amountsNotCounted(const FindingCollector& findings) {
  return findings.count(rows::Finding::Kind::NotANumber) +
         findings.count(rows::Finding::Kind::AmountTooLarge);
}

}  // namespace kvd507::runs
