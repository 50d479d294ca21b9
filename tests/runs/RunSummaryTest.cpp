#include <gtest/gtest.h>

#include "runs/FindingGroups.h"
#include "runs/FindingsText.h"
#include "runs/RunSummary.h"

namespace kvd507::runs {
namespace {

rows::PaymentRow row(const char* letter, const char* code, const char* amount,
                     const char* second = "0") {
  rows::PaymentRow r;
  r[rows::cell::kText] = "X";
  r[rows::cell::kLetter] = letter;
  r[rows::cell::kCode] = code;
  r[rows::cell::kAmount] = amount;
  r[rows::cell::kSecondAmount] = second;
  return r;
}

// A row without a payment code is told as such, with its letter when it has one (a row read
// back from a declaration whose code field is empty), never as a bare "A".
TEST(RunSummary, ACodeLabelSaysWhenThereIsNoCode) {
  const struct {
    const char* letter;
    const char* code;
    const char* label;
  } cases[] = {
      {"A", "01", "A 01"}, {"B", "12", "B 12"}, {"A", "", "A be kodo"}, {"", "", "be kodo"}};
  for (const auto& c : cases) {
    SheetSummary::CodeTotal total;
    total.letter = c.letter;
    total.code = c.code;
    EXPECT_EQ(codeLabel(total), c.label);
  }
}

TEST(RunSummary, TotalsPerSheetAndPerLetterAndCode) {
  rows::RowTable l;
  for (int i = 0; i < 11; ++i) l.append(row("A", "01", "1,10"));
  l.append(row("B", "12", "100,00", "5,5"));
  l.append(row("", "", "0"));
  l.append(row("A", "01", "0.40"));  // as read back from a declaration in the other separator
  SheetSummary summary = summariseTable("KVD507 L", l, 10);
  summary.rowsRead = 16;
  summary.rowsMerged = 2;
  EXPECT_EQ(summary.rowsWritten, 14u);
  EXPECT_EQ(summary.pages, 2u);
  EXPECT_DOUBLE_EQ(summary.amount, 112.5);
  EXPECT_DOUBLE_EQ(summary.secondAmount, 5.5);

  RunSummary run;
  run.l = summary;
  run.u = summariseTable("KVD507 U", rows::RowTable{}, 5);
  EXPECT_EQ(describeSummary(run, ','),
            (std::vector<std::string>{
                "KVD507 L: iš darbaknygės perskaityta eilučių: 16; sujungta su ankstesnėmis: 2; "
                "formoje eilučių: 14; puslapių: 2",
                "KVD507 L: Išmokos suma: 112,50; Išskaičiuota mokesčio suma: 5,50",
                "KVD507 L: be kodo: eilučių: 1; Išmokos suma: 0,00",
                "KVD507 L: A 01: eilučių: 12; Išmokos suma: 12,50",
                "KVD507 L: B 12: eilučių: 1; Išmokos suma: 100,00",
                "KVD507 U: iš darbaknygės perskaityta eilučių: 0; sujungta su ankstesnėmis: 0; "
                "formoje eilučių: 0; puslapių: 0",
                "L įrašų: 14, U įrašų: 0, puslapių: 3 (pagrindinis, 2 L, 0 U)",
            }));

  run.u.existingRows = 3;
  EXPECT_TRUE(describeSummary(run, '.')[5].starts_with(
      "KVD507 U: iš esamos formos eilučių: 3; iš darbaknygės perskaityta eilučių: 0;"));
}

TEST(FindingsText, OneLinePerFindingToPasteIntoASpreadsheet) {
  using Kind = rows::Finding::Kind;
  const std::vector<rows::Finding> findings = {
      {Kind::NotANumber, "KVD507 L", 7, "H", "\"a\tb\nc\" nėra skaičius, suma laikoma 0"},
      {Kind::MissingSheet, "KVD507 U", 0, "", "tokio lapo darbaknygėje nėra"},
      {Kind::NoPayer, "", 0, "", "nepasirinktas išmokų mokėtojas"},
  };
  EXPECT_EQ(findingsAsTable(findings),
            "Lapas\tEilutė\tStulpelis\tPastaba\n"
            "KVD507 L\t7\tH\t\"a b c\" nėra skaičius, suma laikoma 0\n"
            "KVD507 U\t\t\ttokio lapo darbaknygėje nėra\n"
            "\t\t\tnepasirinktas išmokų mokėtojas\n");
}

// The heaviest first: a sheet not read, then data lost, then the rest; one group per kind with
// its findings in the order noticed.
TEST(FindingGroups, HeaviestFirstOneGroupPerKind) {
  using Kind = rows::Finding::Kind;
  const std::vector<rows::Finding> findings = {
      {Kind::NoIdentifier, "KVD507 L", 6, "C–G", "nenurodytas gavėjo kodas"},
      {Kind::NotANumber, "KVD507 L", 7, "H", "\"a\" nėra skaičius, suma laikoma 0"},
      {Kind::NoIdentifier, "KVD507 L", 8, "C–G", "nenurodytas gavėjo kodas"},
      {Kind::NotANumber, "KVD507 U", 6, "H", "\"b\" nėra skaičius, suma laikoma 0"},
      {Kind::RowsBelowEnd, "KVD507 U", 40, "", "užpildytos eilutės po pabaigos"},
  };
  const std::vector<FindingGroup> groups = groupFindings(findings);
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(groups[0].kind, Kind::RowsBelowEnd);
  EXPECT_EQ(groups[0].weight, FindingWeight::WholeSheet);
  EXPECT_EQ(groups[1].kind, Kind::NotANumber);
  EXPECT_EQ(groups[1].weight, FindingWeight::DataLost);
  EXPECT_EQ(groups[2].kind, Kind::NoIdentifier);
  EXPECT_EQ(groups[2].weight, FindingWeight::Other);
  ASSERT_EQ(groups[1].findings.size(), 2u);
  EXPECT_EQ(groups[1].findings[0].sheet, "KVD507 L");
  EXPECT_EQ(groups[1].findings[1].sheet, "KVD507 U");
  for (const FindingGroup& group : groups) EXPECT_FALSE(group.title.empty());
}

}  // namespace
}  // namespace kvd507::runs
