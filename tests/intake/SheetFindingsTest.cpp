#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "intake/MissingSheet.h"
#include "intake/RowsBelowEnd.h"
#include "intake/SheetReader.h"
#include "support/MemoryWorkbook.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"
#include "text/Clock.h"

namespace kvd507::intake {
namespace {

using rows::Finding;
using spreadsheet::Workbook;
using test::MemoryWorkbook;

const std::string L = "KVD507 L";
const std::string U = "KVD507 U";

class Silent : public rows::StatusSink {
 public:
  void setStatus(std::string_view) override {}
  void processPendingEvents() override {}
};

class RecordingSink : public rows::FindingSink {
 public:
  void add(Finding finding) override { findings.push_back(std::move(finding)); }
  void rowTaken(std::string_view, bool wasMerged) override {
    ++taken;
    if (wasMerged) ++merged;
  }
  std::vector<Finding> findings;
  int taken = 0;
  int merged = 0;
};

struct Read {
  rows::RowTable l;
  rows::RowTable u;
  RecordingSink sink;

  std::vector<std::string> lines() const {
    std::vector<std::string> all;
    for (const Finding& f : sink.findings) all.push_back(f.describe());
    return all;
  }
};

// Reads both sheets of a workbook file as a run does.
void readFile(const std::filesystem::path& file, Read& r) {
  Workbook book = Workbook::open(file);
  Silent status;
  readLSheet(book, r.l, status, ',', r.sink);
  readUSheet(book, r.u, status, ',', r.sink);
}

std::string repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// A filled template with one clean row on each sheet; the cases spoil it.
MemoryWorkbook cleanTemplate() {
  MemoryWorkbook book;
  book.text(L, 1, 2, "Išmokos").text(L, 6, 2, "Jonas").text(L, 6, 3, "38001010009");
  book.number(L, 6, 8, 100).text(L, 6, 9, "01").number(L, 6, 16, 15).number(L, 6, 17, 2);
  book.text(U, 6, 2, "Ona").text(U, 6, 8, "123456789").number(U, 6, 13, 5).text(U, 6, 14, "12");
  book.text(U, 6, 21, "20");
  return book;
}

TEST(SheetFindings, EachKindIsToldWithItsPlace) {
  // Dates of birth still to come are told against this day.
  const text::FixedToday today({2026, 12, 11});
  struct Case {
    const char* what;
    std::function<void(MemoryWorkbook&)> spoil;
    std::vector<std::string> expected;
  };
  const std::string l = "lapas \"KVD507 L\", ";
  const std::string u = "lapas \"KVD507 U\", ";
  const std::string noAmount = "nėra sumos, didesnės už 0 (H, J, L, N); eilutė įrašyta su suma 0";
  const Case cases[] = {
      {"clean", [](MemoryWorkbook&) {}, {}},
      {"grouped amount typed as text", [](MemoryWorkbook& b) { b.text(L, 6, 8, "1 234,56"); }, {}},
      {"amount that is no number",
       [](MemoryWorkbook& b) { b.text(L, 6, 8, "12,50 EUR"); },
       {l + "eilutė 6, stulpelis H: \"12,50 EUR\" nėra skaičius, suma laikoma 0",
        l + "eilutė 6, stulpelis Q: suma 2,00 neįrašyta, nes eilutėje nėra sumos, didesnės už 0",
        l + "eilutė 6: " + noAmount}},
      {"no amount at all",
       [](MemoryWorkbook& b) { b.text(L, 7, 2, "Petras").text(L, 7, 3, "38001010015"); },
       {l + "eilutė 7: " + noAmount}},
      {"second amount that is no number",
       [](MemoryWorkbook& b) { b.text(L, 6, 17, "du"); },
       {l + "eilutė 6, stulpelis Q: \"du\" nėra skaičius, suma laikoma 0"}},
      {"long text where the second amount belongs",
       [](MemoryWorkbook& b) { b.text(L, 6, 17, std::string(30, 'x') + repeat("ą", 20)); },
       {l + "eilutė 6, stulpelis Q: \"" + std::string(30, 'x') + repeat("ą", 10) +
        "…\" nėra skaičius, suma laikoma 0"}},
      {"amounts in two groups",
       [](MemoryWorkbook& b) { b.number(L, 6, 10, 50).text(L, 6, 11, "02"); },
       {l +
        "eilutė 6, stulpelis J: suma 50,00 nenaudojama: eilutėje naudojama tik pirmoji suma (H)"}},
      {"negative amount",
       [](MemoryWorkbook& b) { b.number(L, 6, 8, -5).number(L, 6, 12, 20).text(L, 6, 13, "01"); },
       {l + "eilutė 6, stulpelis H: neigiama suma -5,00 nenaudojama"}},
      {"merged column B",
       [](MemoryWorkbook& b) {
         b.mergeDown(L, 6, 2, 2).text(L, 7, 3, "38001010000").number(L, 7, 8, 50);
       },
       {l + "eilutė 7, stulpelis B: tuščias, nors kituose stulpeliuose yra duomenų (gal sujungti "
            "langeliai?); eilutė praleista"}},
      {"rows below the end",
       [](MemoryWorkbook& b) {
         b.text(L, 17, 2, "a").number(L, 18, 8, 1).text(L, 30, 16, "x");
         b.text(L, 17 + kRowsLookedAtBelowEnd, 2, "too far to be looked at");
       },
       {l + "eilutė 17: žemiau dešimties tuščių eilučių, kuriomis skaitymas baigiasi, yra "
            "užpildytų eilučių: 3 (pirmoji – 17); jos neperskaitytos"}},
      {"empty identifier",
       [](MemoryWorkbook& b) { b.text(U, 6, 8, ""); },
       {u + "eilutė 6, stulpeliai G–L: nenurodytas identifikatorius"}},
      {"odd codes",
       [](MemoryWorkbook& b) {
         b.text(L, 6, 9, "1234").text(L, 7, 2, "B").text(L, 7, 3, "38001010015");
         b.number(L, 7, 8, 1).text(L, 8, 2, "C").text(L, 8, 3, "38001010015");
         b.number(L, 8, 8, 1).text(L, 8, 9, "AB");
         // Whatever its third character, the code rules make it the D mark.
         b.text(L, 9, 2, "D").text(L, 9, 3, "38001010015").number(L, 9, 8, 1).text(L, 9, 9, "12X");
       },
       {l + "eilutė 6, stulpelis I: išmokos kodas \"1234\" nėra dviejų simbolių",
        l + "eilutė 7, stulpelis I: išmokos kodas tuščias",
        l + "eilutė 8, stulpelis I: išmokos kodas \"AB\" nėra du skaitmenys (po jų gali būti "
            "raidė D)"}},
      {"personal code with a wrong check digit",
       [](MemoryWorkbook& b) { b.text(L, 6, 3, "38001010000"); },
       {l + "eilutė 6, stulpelis C: asmens kodas \"38001010000\": neteisingas kontrolinis "
            "skaitmuo"}},
      {"two identifiers, the first of them a short personal code",
       [](MemoryWorkbook& b) { b.text(U, 6, 7, "3800101000"); },
       {u + "eilutė 6, stulpelis G: asmens kodas \"3800101000\": turi būti 11 skaitmenų",
        u + "eilutė 6, stulpeliai G–L: užpildyti keli identifikavimo stulpeliai (G, H); formoje "
            "naudojamas tik pirmasis"}},
      {"company code of 8 digits",
       [](MemoryWorkbook& b) { b.text(L, 6, 3, "").text(L, 6, 4, "12345678"); },
       {l + "eilutė 6, stulpelis D: įmonės kodas \"12345678\": turi būti 9 skaitmenys"}},
      {"dates of birth before 1900 and still to come",
       [](MemoryWorkbook& b) {
         b.text(L, 6, 3, "").text(L, 6, 7, "1899-12-31");
         b.text(U, 6, 8, "").set(U, 6, 12, spreadsheet::RawCell::makeDateTime(46368));
       },
       {l + "eilutė 6, stulpelis G: gimimo data \"1899-12-31\": data 1899-12-31 ankstesnė nei "
            "1900 metai",
        u + "eilutė 6, stulpelis L: gimimo data \"2026-12-12\": data 2026-12-12 dar neatėjo"}},
      {"rate formatted as a percentage",
       [](MemoryWorkbook& b) { b.percent(L, 6, 16, 0.2).percent(U, 6, 21, 0.15); },
       {l + "eilutė 6, stulpelis P: įrašyta 0,2; tarifas rašomas procentais (pvz., 15)",
        u + "eilutė 6, stulpelis U: įrašyta 0,15; tarifas rašomas procentais (pvz., 15)"}},
      {"rates that are no number or out of range",
       [](MemoryWorkbook& b) {
         b.text(L, 6, 16, "15 %").text(U, 6, 21, "-1");
         b.text(L, 7, 2, "B").text(L, 7, 3, "38001010015").number(L, 7, 8, 1);
         b.text(L, 7, 9, "01").number(L, 7, 16, 100.5);
       },
       {l + "eilutė 6, stulpelis P: tarifas \"15 %\" nėra skaičius",
        l + "eilutė 7, stulpelis P: tarifas 100,5 nėra nuo 0 iki 100",
        u + "eilutė 6, stulpelis U: tarifas -1 nėra nuo 0 iki 100"}},
      {"U sheet columns",
       [](MemoryWorkbook& b) { b.text(U, 6, 13, "penki").number(U, 6, 15, 3).text(U, 6, 16, "5"); },
       {u + "eilutė 6, stulpelis M: \"penki\" nėra skaičius, suma laikoma 0"}},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    MemoryWorkbook book = cleanTemplate();
    c.spoil(book);
    book.saveXlsx(dir / "book.xlsx");
    Read r;
    readFile(dir / "book.xlsx", r);
    EXPECT_EQ(r.lines(), c.expected) << c.what;
    EXPECT_EQ(r.sink.taken, static_cast<int>(r.l.size() + r.u.size()) + r.sink.merged) << c.what;
  }
}

TEST(SheetFindings, FindingsChangeNothingThatIsRead) {
  test::TempDir dir;
  MemoryWorkbook book = cleanTemplate();
  book.text(L, 6, 8, "12,50 EUR").mergeDown(L, 6, 2, 2).number(L, 7, 8, 1);
  book.text(L, 8, 2, "Jonas").text(L, 8, 3, "38001010000").number(L, 8, 8, 3).text(L, 8, 9, "1");
  book.text(L, 20, 2, "below");
  book.saveXlsx(dir / "book.xlsx");
  Read told;
  readFile(dir / "book.xlsx", told);
  ASSERT_FALSE(told.sink.findings.empty());
  EXPECT_EQ(told.sink.merged, 0);

  Workbook again = Workbook::open(dir / "book.xlsx");
  Silent status;
  rows::RowTable quiet;
  readLSheet(again, quiet, status, ',');
  ASSERT_EQ(quiet.size(), told.l.size());
  for (std::size_t i = 0; i < quiet.size(); ++i) EXPECT_EQ(quiet[i], told.l[i]);
}

TEST(SheetFindings, DamageBelowTheDataIsNoFailure) {
  // Row 40 is never closed: the file is damaged there, far below the data.
  test::XlsxParts parts = test::minimalWorkbook(
      "<row r=\"6\"><c r=\"B6\" t=\"inlineStr\"><is><t>Ona</t></is></c>"
      "<c r=\"C6\"><v>38001010009</v></c><c r=\"H6\"><v>5</v></c><c r=\"I6\"><v>1</v></c></row>"
      "<row r=\"20\"><c r=\"B20\" t=\"inlineStr\"><is><t>vėliau</t></is></c></row>"
      "<row r=\"40\"><c r=\"B40\"><v>1</v></c>");
  std::string& workbookPart = parts["xl/workbook.xml"];
  workbookPart.replace(workbookPart.find("Sheet1"), 6, L);
  test::TempDir dir;
  test::writeZip(dir / "damaged.xlsx", parts);
  Read r;
  readFile(dir / "damaged.xlsx", r);
  EXPECT_EQ(r.l.size(), 1u);
  ASSERT_EQ(r.sink.findings.size(), 2u) << testing::PrintToString(r.lines());
  EXPECT_EQ(r.sink.findings[0].kind, Finding::Kind::RowsBelowEnd);
  EXPECT_EQ(r.sink.findings[0].row, 20u);
  EXPECT_EQ(r.sink.findings[1].kind, Finding::Kind::MissingSheet);
}

TEST(SheetFindings, AMergedRowCountsAsTakenAndMerged) {
  MemoryWorkbook book = cleanTemplate();
  book.text(L, 7, 2, "jonas").text(L, 7, 3, "38001010009").number(L, 7, 8, 1).text(L, 7, 9, "1");
  Workbook workbook = book.open();
  Silent status;
  rows::RowTable table;
  RecordingSink sink;
  readLSheet(workbook, table, status, ',', sink);
  EXPECT_EQ(table.size(), 1u);
  EXPECT_EQ(sink.taken, 2);
  EXPECT_EQ(sink.merged, 1);
}

TEST(SheetFindings, AMissingSheetNamesTheSheetsThereAreAndTheCloseOnes) {
  struct Case {
    std::vector<std::string> present;
    std::vector<std::string> close;
  };
  const Case cases[] = {
      {{"KVD507 L (2023)", "KVD507 U"}, {"KVD507 L (2023)"}},
      {{"kvd507l", "Lapas1"}, {"kvd507l"}},
      {{"KVD 507 L"}, {"KVD 507 L"}},
      {{"KVD508 L"}, {"KVD508 L"}},
      {{"KVD507 U", "KVD507 U (2023)", "L", "K"}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(closeSheetNames(L, c.present, {kLSheet.name, kUSheet.name}), c.close)
        << testing::PrintToString(c.present);
  }
  const Finding f =
      missingSheetFinding(L, {"Lapas1", "KVD507 L (2023)"}, {kLSheet.name, kUSheet.name});
  EXPECT_EQ(f.describe(),
            "lapas \"KVD507 L\": tokio lapo darbaknygėje nėra, jo eilutės neperskaitytos; "
            "darbaknygėje yra "
            "lapai: \"Lapas1\", \"KVD507 L (2023)\"; gal tai \"KVD507 L (2023)\"?");
  EXPECT_TRUE(rows::losesData(f.kind));
}

TEST(SheetFindings, AFailingCellStopsTheSheetAsAFinding) {
  Read r;
  readFile(test::dataFile("error_value_in_l_sheet_row_7.xlsx"), r);
  ASSERT_FALSE(r.sink.findings.empty());
  const Finding& stop = r.sink.findings[1];
  EXPECT_EQ(stop.kind, Finding::Kind::ReadStopped);
  EXPECT_EQ(stop.describe(),
            "lapas \"KVD507 L\", eilutė 7, stulpelis H: skaitymas sustojo: langelyje yra klaidos "
            "reikšmė (#N/A); įrašai žemiau šios "
            "vietos neperskaityti");
}

// Saved by LibreOffice: merged B6:B7, "1 234,56" and "12,50 EUR" typed as text, a row below
// the end and the U sheet renamed to "KVD507 U (2023)" (scripts/make-findings-fixture).
TEST(SheetFindings, AWorkbookSavedByLibreOffice) {
  Read r;
  readFile(test::dataFile("findings_saved_by_libreoffice.xlsx"), r);
  std::vector<Finding::Kind> kinds;
  for (const Finding& f : r.sink.findings) kinds.push_back(f.kind);
  EXPECT_EQ(kinds,
            (std::vector<Finding::Kind>{Finding::Kind::RowWithoutText, Finding::Kind::NotANumber,
                                        Finding::Kind::NoAmount, Finding::Kind::RowsBelowEnd,
                                        Finding::Kind::MissingSheet}))
      << testing::PrintToString(r.lines());
  ASSERT_EQ(r.l.size(), 3u);
  EXPECT_EQ(r.l[1][rows::cell::kAmount], "1234,56");
  EXPECT_EQ(r.l[2][rows::cell::kAmount], "0");
  EXPECT_NE(r.lines().back().find("gal tai \"KVD507 U (2023)\"?"), std::string::npos);

  // The example saved by LibreOffice: only its two negative amounts are worth telling.
  Read example;
  readFile(test::dataFile("example_saved_by_libreoffice.xlsx"), example);
  EXPECT_EQ(example.lines(),
            (std::vector<std::string>{
                "lapas \"KVD507 L\", eilutė 14, stulpelis H: neigiama suma -150,00 nenaudojama",
                "lapas \"KVD507 U\", eilutė 15, stulpelis M: neigiama suma -200,00 nenaudojama"}));
}

// One row for each kind a row can give, written by libxlsxwriter and saved again by LibreOffice
// as .ods and .xls: every reader tells the same, the percentage rate among it.
TEST(SheetFindings, OneOfEachKindInEveryFormat) {
  const std::string l = "lapas \"KVD507 L\", ";
  const std::vector<std::string> expected = {
      l + "eilutė 7, stulpelis H: \"12,50 EUR\" nėra skaičius, suma laikoma 0",
      l + "eilutė 8, stulpelis Q: suma 5,00 neįrašyta, nes eilutėje nėra sumos, didesnės už 0",
      l + "eilutė 8: nėra sumos, didesnės už 0 (H, J, L, N); eilutė įrašyta su suma 0",
      l + "eilutė 9, stulpelis J: suma 20,00 nenaudojama: eilutėje naudojama tik pirmoji suma (H)",
      l + "eilutė 10, stulpelis H: neigiama suma -5,00 nenaudojama",
      l + "eilutė 11, stulpelis B: tuščias, nors kituose stulpeliuose yra duomenų (gal sujungti "
          "langeliai?); eilutė praleista",
      l + "eilutė 12, stulpeliai C–G: nenurodytas identifikatorius",
      l + "eilutė 13, stulpelis I: išmokos kodas \"AB\" nėra du skaitmenys (po jų gali būti "
          "raidė D)",
      l + "eilutė 14, stulpelis C: asmens kodas \"38001010000\": neteisingas kontrolinis skaitmuo",
      l + "eilutė 15, stulpelis D: įmonės kodas \"12345678\": turi būti 9 skaitmenys",
      l + "eilutė 16, stulpelis G: gimimo data \"1985-02-30\": nėra data (rašoma MMMM-MM-DD)",
      l + "eilutė 17, stulpeliai C–G: užpildyti keli identifikavimo stulpeliai (C, G); formoje "
          "naudojamas tik pirmasis",
      l + "eilutė 18, stulpelis P: įrašyta 0,15; tarifas rašomas procentais (pvz., 15)",
      l + "eilutė 19, stulpelis P: tarifas 150 nėra nuo 0 iki 100",
      l + "eilutė 31: žemiau dešimties tuščių eilučių, kuriomis skaitymas baigiasi, yra užpildytų "
          "eilučių: 1 (pirmoji – 31); jos neperskaitytos",
  };
  for (const char* name : {"findings_one_of_each_kind.xlsx", "findings_one_of_each_kind.ods",
                           "findings_one_of_each_kind.xls"}) {
    Read r;
    readFile(test::dataFile(name), r);
    EXPECT_EQ(r.lines(), expected) << name;
    EXPECT_EQ(r.l.size(), 13u) << name;
    EXPECT_EQ(r.u.size(), 2u) << name;
  }
}

}  // namespace
}  // namespace kvd507::intake
