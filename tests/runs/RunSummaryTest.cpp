#include <gtest/gtest.h>

#include "runs/FindingsText.h"
#include "runs/RunSummary.h"

namespace kvd507::runs {
namespace {

rows::TEilute row(const char* letter, const char* code, const char* amount,
                  const char* second = "0") {
  rows::TEilute r;
  r[rows::cell::kText] = "X";
  r[rows::cell::kLetter] = letter;
  r[rows::cell::kCode] = code;
  r[rows::cell::kAmount] = amount;
  r[rows::cell::kSecondAmount] = second;
  return r;
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
                "KVD507 L: iš knygos perskaityta eilučių: 16; sujungta su ankstesnėmis: 2; "
                "formoje eilučių: 14; puslapių: 2",
                "KVD507 L: sumų suma: 112,50; antrųjų sumų suma: 5,50",
                "KVD507 L: be kodo: eilučių: 1; suma: 0,00",
                "KVD507 L: A 01: eilučių: 12; suma: 12,50",
                "KVD507 L: B 12: eilučių: 1; suma: 100,00",
                "KVD507 U: iš knygos perskaityta eilučių: 0; sujungta su ankstesnėmis: 0; "
                "formoje eilučių: 0; puslapių: 0",
                "L įrašų: 14, U įrašų: 0, puslapių: 3 (pagrindinis, 2 L, 0 U)",
            }));

  run.u.existingRows = 3;
  EXPECT_TRUE(describeSummary(run, '.')[5].starts_with(
      "KVD507 U: iš esamos formos eilučių: 3; iš knygos perskaityta eilučių: 0;"));
}

TEST(FindingsText, OneLinePerFindingToPasteIntoASpreadsheet) {
  using Kind = rows::Finding::Kind;
  const std::vector<rows::Finding> findings = {
      {Kind::NotANumber, "KVD507 L", 7, "H", "\"a\tb\nc\" nėra skaičius, suma laikoma 0"},
      {Kind::MissingSheet, "KVD507 U", 0, "", "tokio lapo knygoje nėra"},
      {Kind::NoPayer, "", 0, "", "nepasirinktas išmokų mokėtojas"},
  };
  EXPECT_EQ(findingsAsTable(findings),
            "Lapas\tEilutė\tStulpelis\tPastaba\n"
            "KVD507 L\t7\tH\t\"a b c\" nėra skaičius, suma laikoma 0\n"
            "KVD507 U\t\t\ttokio lapo knygoje nėra\n"
            "\t\t\tnepasirinktas išmokų mokėtojas\n");
}

}  // namespace
}  // namespace kvd507::runs
