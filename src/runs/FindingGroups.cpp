#include "runs/FindingGroups.h"

#include <algorithm>
#include <utility>

namespace kvd507::runs {
namespace {

using Kind = rows::Finding::Kind;

// Every kind has its own title: a group headed by its first finding's text would seem to be about
// that one row.
const char* titleOf(Kind kind) {
  switch (kind) {
    case Kind::MissingSheet:
      return "Darbaknygėje nėra lapo: jo eilutės neperskaitytos";
    case Kind::ReadStopped:
      return "Skaitymas sustojo: likusios lapo eilutės neperskaitytos";
    case Kind::RowsBelowEnd:
      return "Užpildytos eilutės po skaitymo pabaigos: neperskaitytos";
    case Kind::FooterDiffers:
      return "Poraštėse kitas mokėtojas ar metai nei pagrindiniame puslapyje";
    case Kind::AlreadyInDeclaration:
      return "Darbaknygė jau yra formoje: sumos bus padvigubintos";
    case Kind::NotANumber:
      return "Suma nėra skaičius: laikoma 0";
    case Kind::AmountTooLarge:
      return "Suma per didelė (10^15 ar daugiau): laikoma 0";
    case Kind::SlotWithoutName:
      return "Formos eilutė be pavadinimo, kiti laukai užpildyti: praleista";
    case Kind::RepeatedRows:
      return "Forma turi pasikartojančių eilučių: darbaknygės sumos pridedamos tik prie pirmosios";
    case Kind::SecondAmountUnused:
      return "Antroji suma eilutėje be sumos: neįrašoma";
    case Kind::SeveralGroups:
      return "Sumos keliose grupėse: imama pirmoji";
    case Kind::NegativeAmount:
      return "Neigiama suma: praleista";
    case Kind::RowWithoutText:
      return "Tuščias B stulpelis, kiti užpildyti: eilutė praleista";
    case Kind::NoAmount:
      return "Nėra sumos: įrašoma 0";
    case Kind::NoIdentifier:
      return "Nėra gavėjo kodo";
    case Kind::OddCode:
      return "Išmokos kodas tuščias arba ne dviejų simbolių";
    case Kind::OddPersonalCode:
      return "Asmens kodas netinkamas";
    case Kind::OddCompanyCode:
      return "Įmonės kodas ne iš 9 skaitmenų";
    case Kind::OddBirthDate:
      return "Gimimo data netinkama";
    case Kind::SeveralIdentifiers:
      return "Užpildyti keli identifikavimo stulpeliai: imamas pirmasis";
    case Kind::PercentRate:
      return "Tarifas įrašytas procentais: formoje bus dalis (0,15 vietoj 15)";
    case Kind::OddRate:
      return "Tarifas nėra skaičius nuo 0 iki 100";
    case Kind::NoPayer:
      return "Išmokų mokėtojas nepasirinktas";
    case Kind::OddPayerCode:
      return "Išmokų mokėtojo kodas netinkamas";
    case Kind::PayerCheckDigit:
      return "Išmokų mokėtojo kodo kontrolinis skaitmuo netinka";
    case Kind::WorkbookOpen:
      return "Darbaknygė atidaryta kitoje programoje: neišsaugoti pakeitimai neperskaitomi";
  }
  return "Kita pastaba";
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
      groups.push_back({finding.kind, findingWeight(finding.kind), titleOf(finding.kind), 0, {}});
      group = std::prev(groups.end());
    }
    group->count += finding.count();
    group->findings.push_back(finding);
  }
  std::stable_sort(groups.begin(), groups.end(), [](const FindingGroup& a, const FindingGroup& b) {
    return a.weight < b.weight;
  });
  return groups;
}

std::string findingTitle(rows::Finding::Kind kind) {
  return titleOf(kind);
}

std::size_t countFindings(const std::vector<rows::Finding>& findings) {
  std::size_t count = 0;
  for (const rows::Finding& finding : findings) count += finding.count();
  return count;
}

}  // namespace kvd507::runs
