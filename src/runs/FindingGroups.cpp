#include "runs/FindingGroups.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kvd507::runs {
namespace {

using Kind = rows::Finding::Kind;

struct KindTitle {
  Kind kind;
  const char* title;
};

// A kind without a title of its own is named by its first finding's text.
constexpr std::array kTitles{
    KindTitle{Kind::MissingSheet, "Darbaknygėje nėra lapo: jo eilutės neperskaitytos"},
    KindTitle{Kind::ReadStopped, "Skaitymas sustojo: likusios lapo eilutės neperskaitytos"},
    KindTitle{Kind::RowsBelowEnd, "Užpildytos eilutės po skaitymo pabaigos: neperskaitytos"},
    KindTitle{Kind::AlreadyInDeclaration, "Darbaknygė jau yra formoje: sumos bus padvigubintos"},
    KindTitle{Kind::NotANumber, "Suma nėra skaičius: laikoma 0"},
    KindTitle{Kind::AmountTooLarge, "Suma per didelė (10^15 ar daugiau): laikoma 0"},
    KindTitle{Kind::SlotWithoutName,
              "Formos eilutė be pavadinimo, kiti laukai užpildyti: praleista"},
    KindTitle{
        Kind::RepeatedRows,
        "Forma turi pasikartojančių eilučių: darbaknygės sumos pridedamos tik prie pirmosios"},
    KindTitle{Kind::SecondAmountUnused, "Antroji suma eilutėje be sumos: neįrašoma"},
    KindTitle{Kind::SeveralGroups, "Sumos keliose grupėse: imama pirmoji"},
    KindTitle{Kind::NegativeAmount, "Neigiama suma: praleista"},
    KindTitle{Kind::RowWithoutText, "Tuščias B stulpelis, kiti užpildyti: eilutė praleista"},
    KindTitle{Kind::NoAmount, "Nėra sumos: įrašoma 0"},
    KindTitle{Kind::NoIdentifier, "Nėra gavėjo kodo"},
    KindTitle{Kind::OddCode, "Išmokos kodas tuščias arba ne dviejų simbolių"},
    KindTitle{Kind::NoPayer, "Išmokų mokėtojas nepasirinktas"},
    KindTitle{Kind::OddPayerCode, "Išmokų mokėtojo kodas netinkamas"},
    KindTitle{Kind::PayerCheckDigit, "Išmokų mokėtojo kodo kontrolinis skaitmuo netinka"},
};

std::string titleOf(Kind kind, const rows::Finding& first) {
  const auto* found = std::find_if(kTitles.begin(), kTitles.end(),
                                   [kind](const KindTitle& t) { return t.kind == kind; });
  return found != kTitles.end() ? std::string(found->title) : first.text;
}

}  // namespace

FindingWeight findingWeight(Kind kind) {
  if (kind == Kind::MissingSheet || kind == Kind::ReadStopped || kind == Kind::RowsBelowEnd) {
    return FindingWeight::WholeSheet;
  }
  return rows::losesData(kind) ? FindingWeight::DataLost : FindingWeight::Other;
}

std::vector<FindingGroup> groupFindings(const std::vector<rows::Finding>& findings) {
  std::vector<FindingGroup> groups;
  for (const rows::Finding& finding : findings) {
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&finding](const FindingGroup& g) { return g.kind == finding.kind; });
    if (group == groups.end()) {
      groups.push_back(
          {finding.kind, findingWeight(finding.kind), titleOf(finding.kind, finding), {}});
      group = std::prev(groups.end());
    }
    group->findings.push_back(finding);
  }
  std::stable_sort(groups.begin(), groups.end(), [](const FindingGroup& a, const FindingGroup& b) {
    return a.weight < b.weight;
  });
  return groups;
}

}  // namespace kvd507::runs
