#include <gtest/gtest.h>
#include <sys/stat.h>

#include "FakeRunHost.h"
#include "declaration/DeclarationReader.h"
#include "errors/Error.h"
#include "runs/ConversionRun.h"
#include "support/MemoryWorkbook.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::runs {
namespace {

using test::FakeOpener;
using test::FakeRunHost;
using test::MemoryWorkbook;
using test::runAppend;
using test::runGeneration;
using test::RunSettings;
using test::TempDir;

const std::string L = "KVD507 L";
const std::string U = "KVD507 U";

class ConversionRunTest : public ::testing::Test {
 public:  // the table of cases below prepares the fixture through lambdas
  ConversionRunTest() { settings.outputFile = dir / "formos" / "KVD507.ffdata"; }

  // A workbook with `lCount` L rows and `uCount` U rows, each with its own name.
  std::filesystem::path workbook(int lCount, int uCount, const std::string& file = "in.xlsx") {
    MemoryWorkbook book;
    book.sheet(L).sheet(U);
    for (int i = 0; i < lCount; ++i) {
      book.text(L, 6 + i, 2, "L" + std::to_string(i))
          .number(L, 6 + i, 8, 10)
          .text(L, 6 + i, 9, "5");
    }
    for (int i = 0; i < uCount; ++i) {
      book.text(U, 6 + i, 2, "U" + std::to_string(i)).number(U, 6 + i, 13, 2.5);
      book.text(U, 6 + i, 14, "12");
    }
    const auto path = dir / file;
    book.saveXlsx(path);
    return path;
  }

  struct Declaration {
    rows::RowTable lRows;
    rows::RowTable uRows;
    declaration::DeclarationHeader header;
  };
  Declaration written() const {
    Declaration d;
    declaration::readExistingDeclaration(settings.outputFile, d.lRows, d.uRows, d.header);
    return d;
  }

  void expectIdleAtEnd() const {
    ASSERT_FALSE(host.statuses.empty());
    EXPECT_EQ(host.statuses.back(), "");
  }

  std::vector<std::string> messageTexts() const {
    std::vector<std::string> texts;
    for (const auto& m : host.messages) texts.push_back(m.kind + ": " + m.text);
    return texts;
  }

  TempDir dir;
  FakeRunHost host;
  FakeOpener opener;
  RunSettings settings;
};

TEST_F(ConversionRunTest, WritesAndOpensTheDeclaration) {
  host.chooseWorkbook(workbook(12, 3));
  host.code = "123456789";
  host.payer = "uab \"x\"";
  EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
  EXPECT_TRUE(host.messages.empty()) << testing::PrintToString(messageTexts());
  EXPECT_EQ(opener.opened, std::vector<std::filesystem::path>{settings.outputFile});
  ASSERT_GE(host.statuses.size(), 3u);
  EXPECT_EQ(host.statuses[0], "Atidarome failą");
  EXPECT_EQ(host.statuses[1], "Patikrinimas");
  EXPECT_EQ(host.progressMaximum, 15);
  EXPECT_EQ(host.progressSteps, 15);
  expectIdleAtEnd();

  const Declaration d = written();
  EXPECT_EQ(d.lRows.size(), 12u);
  EXPECT_EQ(d.uRows.size(), 3u);
  EXPECT_EQ(d.header.id, "123456789");
  EXPECT_EQ(d.header.name, "UAB &quot;X&quot;");
  EXPECT_EQ(d.header.year, "2022");
  EXPECT_EQ(d.uRows[0][rows::cell::kAmount], "2,50");
}

TEST_F(ConversionRunTest, EndsWithAMessageWhenNothingCanBeWritten) {
  struct Case {
    const char* what;
    std::function<void(ConversionRunTest&)> prepare;
    RunOutcome outcome;
    std::string message;
  };
  const Case cases[] = {
      {"no workbook chosen", [](ConversionRunTest&) {}, RunOutcome::NoWorkbook,
       "error: Darbaknygė nepasirinkta"},
      {"empty sheets", [](ConversionRunTest& t) { t.host.chooseWorkbook(t.workbook(0, 0)); },
       RunOutcome::NoRecords, "information: \"in.xlsx\" faile įrašų nerasta."},
      {"neither sheet",
       [](ConversionRunTest& t) {
         MemoryWorkbook book;
         book.text("Lapas1", 6, 2, "x");
         book.saveXlsx(t.dir / "other.xlsx");
         t.host.chooseWorkbook(t.dir / "other.xlsx");
       },
       RunOutcome::NoRecords, "information: \"other.xlsx\" faile įrašų nerasta."},
      {"not a workbook",
       [](ConversionRunTest& t) {
         test::writeFile(t.dir / "notes.xlsx", "just text");
         t.host.chooseWorkbook(t.dir / "notes.xlsx");
       },
       RunOutcome::Failed,
       "error: Blogai užpildytas failas notes.xlsx: tai ne darbaknygė (nei .xlsx, nei .xls, "
       "nei .ods)"},
      {"missing workbook", [](ConversionRunTest& t) { t.host.chooseWorkbook(t.dir / "gone.xlsx"); },
       RunOutcome::Failed, "error: Failas nerastas: " + (dir / "gone.xlsx").string()},
      {"a folder chosen as the workbook",
       [](ConversionRunTest& t) {
         std::filesystem::create_directory(t.dir / "aplankas.xlsx");
         t.host.chooseWorkbook(t.dir / "aplankas.xlsx");
       },
       RunOutcome::Failed,
       "error: Tai aplankas, ne darbaknygė: " + (dir / "aplankas.xlsx").string()},
      {"a pipe in place of the workbook",
       [](ConversionRunTest& t) {
         ASSERT_EQ(::mkfifo((t.dir / "pipe.xlsx").c_str(), 0600), 0);
         t.host.chooseWorkbook(t.dir / "pipe.xlsx");
       },
       RunOutcome::Failed,
       "error: Blogai užpildytas failas pipe.xlsx: tai ne paprastas failas, o aplankas, kanalas ar "
       "įrenginys"},
      {"output cannot be made",
       [](ConversionRunTest& t) {
         t.host.chooseWorkbook(t.workbook(1, 0));
         test::writeFile(t.dir / "file", "");
         t.settings.outputFile = t.dir / "file" / "formos" / "KVD507.ffdata";
       },
       // A failed write blames the declaration and says why, not the workbook.
       RunOutcome::Failed,
       "error: Nepavyko įrašyti formos " + (dir / "file" / "formos" / "KVD507.ffdata").string() +
           ": failas \"" + (dir / "file" / "formos").string() +
           "\": kelyje vietoj aplanko yra failas"},
  };
  for (const Case& c : cases) {
    ConversionRunTest& t = *this;
    t.host = FakeRunHost{};
    t.opener = FakeOpener{};
    t.settings.outputFile = t.dir / "formos" / "KVD507.ffdata";
    c.prepare(t);
    EXPECT_EQ(runGeneration(t.host, t.settings, t.opener), c.outcome) << c.what;
    EXPECT_EQ(messageTexts(), std::vector<std::string>{c.message}) << c.what;
    EXPECT_TRUE(t.opener.opened.empty()) << c.what;
    EXPECT_FALSE(std::filesystem::exists(t.settings.outputFile)) << c.what;
    expectIdleAtEnd();
  }
}

// A workbook whose structure breaks somewhere is one no spreadsheet application would open:
// the run fails as a whole, even when rows before the damage could be read.
TEST_F(ConversionRunTest, ADamagedWorkbookFailsTheRunAndKeepsThePreviousDeclaration) {
  const std::string goodRow =
      R"(<row r="6"><c r="B6" t="inlineStr"><is><t>Ona</t></is></c><c r="H6"><v>10</v></c>)"
      R"(<c r="I6" t="inlineStr"><is><t>5</t></is></c></row>)";
  const auto lSheet = [&](const std::string& rows) {
    test::XlsxParts parts = test::minimalWorkbook(rows);
    std::string& book = parts["xl/workbook.xml"];
    book.replace(book.find("Sheet1"), 6, L);
    return parts;
  };
  struct Case {
    const char* what;
    test::XlsxParts parts;
    std::string cause;
  };
  test::XlsxParts doctype = lSheet(goodRow);
  doctype["xl/worksheets/sheet1.xml"].insert(0, "<!DOCTYPE worksheet>");
  test::XlsxParts strings = lSheet(goodRow);
  strings["xl/sharedStrings.xml"] += "<si>";
  const Case cases[] = {
      {"XML broken after a good row", lSheet(goodRow + R"(<row r="7"><c r="B7"><v>1</v></row>)"),
       "lapas \"KVD507 L\", eilutė 7: darbaknygės failas sugadintas"},
      {"document type", doctype, "lapas \"KVD507 L\", eilutė 6: darbaknygėje yra dokumento tipo"},
      {"rows going back", lSheet(goodRow + R"(<row r="3"><c r="B3"><v>1</v></c></row>)"),
       "lapas \"KVD507 L\", eilutė 7: darbaknygės failas sugadintas"},
      {"damaged shared strings", strings, "lapas \"KVD507 L\": darbaknygės failas sugadintas"},
  };
  std::filesystem::create_directories(settings.outputFile.parent_path());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    host = FakeRunHost{};
    test::writeFile(settings.outputFile, "previous");
    test::writeZip(dir / "bad.xlsx", c.parts);
    host.chooseWorkbook(dir / "bad.xlsx");
    EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, "error");
    EXPECT_EQ(host.messages[0].text.rfind("Blogai užpildytas failas bad.xlsx: " + c.cause, 0), 0u)
        << host.messages[0].text;
    EXPECT_FALSE(host.messages[0].detail.empty());
    EXPECT_EQ(test::readFile(settings.outputFile), "previous");
    EXPECT_TRUE(opener.opened.empty());
    expectIdleAtEnd();
  }
}

// One shared string of 3 MiB in the B, I and P cells of a thousand rows: a file of a few
// kilobytes that would make gigabytes of row text. The tables stop it with a clear message.
TEST_F(ConversionRunTest, ARepeatedLongSharedStringIsRefusedNotCopiedWithoutEnd) {
  std::string rows;
  for (int r = 6; r < 1006; ++r) {
    const std::string n = std::to_string(r);
    rows += "<row r=\"" + n + "\"><c r=\"B" + n + "\" t=\"s\"><v>0</v></c><c r=\"C" + n + "\"><v>" +
            n + "</v></c><c r=\"H" + n + "\"><v>1</v></c><c r=\"I" + n +
            "\" t=\"s\"><v>0</v></c><c r=\"P" + n + "\" t=\"s\"><v>0</v></c></row>";
  }
  test::XlsxParts parts = test::minimalWorkbook(rows);
  parts["xl/workbook.xml"].replace(parts["xl/workbook.xml"].find("Sheet1"), 6, L);
  parts["xl/sharedStrings.xml"] = "<sst><si><t>" + std::string(3 << 20, 'x') + "</t></si></sst>";
  const auto file = dir / "big.xlsx";
  test::writeZip(file, parts);
  ASSERT_LT(std::filesystem::file_size(file), 64u << 10);

  host.chooseWorkbook(file);
  EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Failed);
  ASSERT_EQ(host.messages.size(), 1u);
  const std::string& text = host.messages[0].text;
  EXPECT_EQ(text.rfind("Blogai užpildytas failas big.xlsx: lapas \"KVD507 L\", eilutė ", 0), 0u)
      << text;
  EXPECT_NE(text.find(reasonText(ErrorKind::kTooMuchText, rows::RowTable::kDefaultTextLimit)),
            std::string::npos)
      << text;
  EXPECT_FALSE(std::filesystem::exists(settings.outputFile));
}

// Whatever fails inside a run, running out of memory included, is told and ends the run.
TEST_F(ConversionRunTest, RunningOutOfMemoryIsReportedNotPassedOn) {
  host.chooseWorkbook(workbook(1, 0));
  host.onEvents = [](FakeRunHost&) { throw std::bad_alloc(); };
  EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Failed);
  // The computer ran short, not the workbook: it is not called badly filled in.
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"error: Nepavyko perskaityti failo in.xlsx: "
                                                     "kompiuteriui nepakako atminties"});
  expectIdleAtEnd();
}

TEST_F(ConversionRunTest, AFailedOpenIsReportedButTheFileStays) {
  host.chooseWorkbook(workbook(1, 0));
  opener.answer = false;
  EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
  EXPECT_TRUE(host.openFailed);  // the front ends tell it their own way
  EXPECT_TRUE(std::filesystem::exists(settings.outputFile));
}

TEST_F(ConversionRunTest, OnlyTheUSheetGivesNoLPages) {
  MemoryWorkbook book;
  book.text(U, 6, 2, "x").number(U, 6, 13, 1).text(U, 6, 14, "1");
  book.saveXlsx(dir / "u.xlsx");
  host.chooseWorkbook(dir / "u.xlsx");
  EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
  EXPECT_EQ(written().lRows.size(), 0u);
  EXPECT_EQ(written().uRows.size(), 1u);
}

// The payer and year are taken when the run starts: a change made while the rows are read or
// written, at any row, is for the next run, and every page names one payer and one year.
TEST_F(ConversionRunTest, ChoicesChangedDuringTheRunLeaveOnePayerAndYearOnEveryPage) {
  const std::filesystem::path book = workbook(23, 7);
  for (int changeAt = 1; changeAt <= 40; changeAt += 3) {
    SCOPED_TRACE(changeAt);
    host = FakeRunHost{};
    host.chooseWorkbook(book);
    host.code = "123456789";
    host.payer = "Pirmas";
    host.onEvents = [changeAt](FakeRunHost& h) {
      if (h.pendingEvents == changeAt) {
        h.code = "987654321";
        h.payer = "Antras";
        h.shownYear = "2023";
        h.chooseWorkbook("/nowhere/lb_dok_link");
      }
    };
    ASSERT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
    const std::string file = test::readFile(settings.outputFile);
    EXPECT_EQ(file.find("987654321"), std::string::npos);
    EXPECT_EQ(file.find(">2023<"), std::string::npos);
    const Declaration d = written();
    EXPECT_EQ(d.lRows.size(), 23u);
    EXPECT_EQ(d.header.id, "123456789");
  }
}

TEST_F(ConversionRunTest, ReportsWhatItWroteAndWhatItFound) {
  MemoryWorkbook book;
  // The identifiers are taxpayer codes, which have no rule to check.
  book.text(L, 6, 2, "Jonas").text(L, 6, 5, "1").number(L, 6, 8, 10).text(L, 6, 9, "1");
  book.text(L, 7, 2, "jonas").text(L, 7, 5, "1").text(L, 7, 8, "1 234,50").text(L, 7, 9, "01");
  book.text(L, 8, 2, "Ona").text(L, 8, 5, "2").text(L, 8, 8, "12,50 EUR").number(L, 8, 17, 3);
  book.text(U, 6, 2, "Ieva").text(U, 6, 9, "3").number(U, 6, 15, 2.5).text(U, 6, 16, "12");
  book.saveXlsx(dir / "in.xlsx");
  host.chooseWorkbook(dir / "in.xlsx");
  EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
  EXPECT_TRUE(host.messages.empty()) << testing::PrintToString(messageTexts());
  ASSERT_EQ(host.reports.size(), 1u);
  const RunReport& report = host.reports[0];

  const SheetSummary& l = report.summary.l;
  EXPECT_EQ(l.sheet, L);
  EXPECT_EQ(l.rowsRead, 3u);
  EXPECT_EQ(l.rowsMerged, 1u);
  EXPECT_EQ(l.rowsWritten, 2u);
  EXPECT_EQ(l.pages, 1u);
  EXPECT_DOUBLE_EQ(l.amount, 1244.5);
  EXPECT_DOUBLE_EQ(l.secondAmount, 0);
  ASSERT_EQ(l.byCode.size(), 2u);
  EXPECT_EQ(l.byCode[0].letter + l.byCode[0].code, "");  // Ona's row, written without a group
  EXPECT_EQ(l.byCode[1].letter + l.byCode[1].code, "A01");
  EXPECT_DOUBLE_EQ(l.byCode[1].amount, 1244.5);
  EXPECT_EQ(report.summary.u.rowsWritten, 1u);
  EXPECT_DOUBLE_EQ(report.summary.u.amount, 2.5);
  EXPECT_EQ(report.summary.pages(), 3u);

  std::vector<rows::Finding::Kind> kinds;
  for (const rows::Finding& f : report.findings) kinds.push_back(f.kind);
  using Kind = rows::Finding::Kind;
  EXPECT_EQ(kinds, (std::vector<Kind>{Kind::NotANumber, Kind::SecondAmountUnused, Kind::NoAmount,
                                      Kind::NoPayer}));
  EXPECT_TRUE(report.losesData());

  // Findings are told, the declaration is what it would have been without them.
  const Declaration d = written();
  ASSERT_EQ(d.lRows.size(), 2u);
  EXPECT_EQ(d.lRows[0][rows::cell::kAmount], "1244,50");
  EXPECT_EQ(d.lRows[1][rows::cell::kAmount], "0");
  EXPECT_EQ(d.header.id, "lb_kodas");
}

TEST_F(ConversionRunTest, TheWriteModeDecidesWhetherFindingsStopTheWriting) {
  struct Case {
    const char* what;
    WriteMode mode;
    bool losesAmount;
    std::string payerCode;
    bool losesData;
    RunOutcome outcome;
  };
  const std::string payer = "123456789";
  const std::string odd = "38001010000";  // a wrong check digit: told, nothing lost
  const std::string none{kNoPayerCode};
  const Case cases[] = {
      {"always, data lost", WriteMode::Always, true, payer, true, RunOutcome::Written},
      {"strict, data lost", WriteMode::UnlessDataLost, true, payer, true, RunOutcome::NotWritten},
      {"strict, no payer", WriteMode::UnlessDataLost, false, none, true, RunOutcome::NotWritten},
      {"strict, an odd payer code", WriteMode::UnlessDataLost, false, odd, false,
       RunOutcome::Written},
      {"strict=all, an odd payer code", WriteMode::UnlessAnyFinding, false, odd, false,
       RunOutcome::NotWritten},
      {"strict=all, nothing found", WriteMode::UnlessAnyFinding, false, payer, false,
       RunOutcome::Written},
      {"never", WriteMode::Never, false, payer, false, RunOutcome::NotWritten},
  };
  for (const Case& c : cases) {
    MemoryWorkbook book;
    book.text(L, 6, 2, "x").text(L, 6, 3, "38001010009").number(L, 6, 8, 1).text(L, 6, 9, "01");
    if (c.losesAmount) book.text(L, 6, 10, "du");
    book.sheet(U);
    book.saveXlsx(dir / "in.xlsx");
    std::filesystem::remove_all(dir / "formos");
    host = FakeRunHost{};
    host.code = c.payerCode;
    opener = FakeOpener{};
    host.chooseWorkbook(dir / "in.xlsx");
    settings.writeMode = c.mode;
    EXPECT_EQ(runGeneration(host, settings, opener), c.outcome) << c.what;
    EXPECT_EQ(std::filesystem::exists(settings.outputFile), c.outcome == RunOutcome::Written)
        << c.what;
    ASSERT_EQ(host.reports.size(), 1u) << c.what;
    EXPECT_EQ(host.reports[0].losesData(), c.losesData) << c.what;
    EXPECT_EQ(host.reports[0].summary.l.rowsWritten, 1u) << c.what;
    EXPECT_TRUE(host.messages.empty()) << c.what;
    expectIdleAtEnd();
  }
}

// A lock file beside the workbook says it is open in another program, whose unsaved changes
// the run cannot see.
TEST_F(ConversionRunTest, TellsWhenTheWorkbookIsOpenElsewhere) {
  struct Case {
    const char* what;
    std::string lockName;
    std::string lockContent;
    std::string told;  // empty: nothing told
  };
  const std::string open =
      "darbaknygė atidaryta kitoje programoje: neišsaugoti pakeitimai nebus perskaityti (";
  const std::string excelOwner = std::string(1, '\x05') + "Jonas" + std::string(48, ' ');
  // The name in the code page ("?" for what it lacks), then in UTF-16 from byte 54.
  const std::string excelWideOwner =
      std::string(1, '\x05') + "?ana?" + std::string(48, ' ') +
      std::string("\x05\x00\x0C\x01\x61\x00\x6E\x00\x61\x00\x17\x01", 12);
  const Case cases[] = {
      // LibreOffice: author (from its settings, may be empty), user, computer, time, profile.
      {"LibreOffice, its author's name", ".~lock.in.xlsx#",
       "Jonas Jonaitis,jonas,pc,11.12.2026 01:20,file:///home/jonas/.config/libreoffice/4;",
       open + ".~lock.in.xlsx#, atidarė Jonas Jonaitis)"},
      {"LibreOffice, no author: the system user", ".~lock.in.xlsx#",
       ",ona,kompiuteris,11.12.2026 01:20,file:///home/ona/.config/libreoffice/4;",
       open + ".~lock.in.xlsx#, atidarė ona)"},
      {"LibreOffice, an empty lock", ".~lock.in.xlsx#", "", open + ".~lock.in.xlsx#)"},
      {"Excel", "~$in.xlsx", excelOwner, open + "~$in.xlsx, atidarė Jonas)"},
      {"Excel, the name in UTF-16", "~$in.xlsx", excelWideOwner,
       open + "~$in.xlsx, atidarė Čanaė)"},
      // Excel's owner file carries the whole workbook name.
      {"Excel's lock of another workbook that ends the same", "~$n.xlsx", excelOwner, ""},
      {"another workbook's lock", ".~lock.kita.xlsx#", "Jonas,jonas,pc;", ""},
  };
  for (const Case& c : cases) {
    TempDir folder;
    const auto book = folder / "in.xlsx";
    std::filesystem::copy_file(workbook(1, 0), book);
    test::writeFile(folder / c.lockName, c.lockContent);
    host = FakeRunHost{};
    host.code = "123456789";
    host.chooseWorkbook(book);
    EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Written) << c.what;
    ASSERT_EQ(host.reports.size(), 1u) << c.what;
    std::vector<std::string> told;
    for (const rows::Finding& f : host.reports[0].findings) {
      if (f.kind == rows::Finding::Kind::WorkbookOpen) told.push_back(f.describe());
    }
    EXPECT_EQ(told, c.told.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.told})
        << c.what;
    EXPECT_FALSE(host.reports[0].losesData()) << c.what;
  }
}

// What was read is put to the user before anything is replaced, clean or not.
TEST_F(ConversionRunTest, EveryWriteIsReviewedFirst) {
  struct Case {
    const char* what;
    bool findings;
    bool answer;
    RunOutcome outcome;
  };
  const Case cases[] = {
      {"clean, write", false, true, RunOutcome::Written},
      {"clean, cancel", false, false, RunOutcome::Cancelled},
      {"findings, write", true, true, RunOutcome::Written},
      {"findings, cancel", true, false, RunOutcome::Cancelled},
  };
  for (const Case& c : cases) {
    MemoryWorkbook book;
    book.text(L, 6, 2, "x").text(L, 6, 5, "1").number(L, 6, 8, 1).text(L, 6, 9, "01");
    if (c.findings) book.text(L, 6, 10, "du");
    book.sheet(U);
    book.saveXlsx(dir / "in.xlsx");
    std::filesystem::create_directories(settings.outputFile.parent_path());
    test::writeFile(settings.outputFile, "previous");
    host = FakeRunHost{};
    host.code = "123456789";  // no payer finding
    host.writeAnswer = c.answer;
    opener = FakeOpener{};
    host.chooseWorkbook(dir / "in.xlsx");
    EXPECT_EQ(runGeneration(host, settings, opener), c.outcome) << c.what;
    ASSERT_EQ(host.confirmations.size(), 1u) << c.what;
    const WriteReview& review = host.confirmations[0];
    EXPECT_EQ(review.report.findings.empty(), !c.findings) << c.what;
    EXPECT_EQ(review.header.id, "123456789") << c.what;
    EXPECT_EQ(review.header.year, "2022") << c.what;
    ASSERT_TRUE(review.replaced.has_value()) << c.what;
    EXPECT_FALSE(review.replaced->readable) << c.what;  // "previous" is no declaration
    EXPECT_FALSE(writeByDefault(review)) << c.what;
    const bool written = c.outcome == RunOutcome::Written;
    EXPECT_EQ(test::readFile(settings.outputFile) == "previous", !written) << c.what;
    EXPECT_EQ(host.written.size(), written ? 1u : 0u) << c.what;
    EXPECT_EQ(opener.opened.size(), written ? 1u : 0u) << c.what;
    EXPECT_TRUE(host.messages.empty()) << c.what;
    expectIdleAtEnd();
  }
}

// The user ends the program during a run: in a reader, in the writer, or after the last row
// before the save. Nothing is written, nothing is said, and the window goes back to idle.
TEST_F(ConversionRunTest, AStoppedRunSavesNothingAndSaysNothing) {
  struct Case {
    const char* what;
    std::function<void(FakeRunHost&)> onEvents;
    bool stopBeforeSave;
  };
  const Case cases[] = {
      {"in a reader",
       [](FakeRunHost& h) {
         if (h.pendingEvents == 3) throw rows::RunStopped();
       },
       false},
      {"in the writer",
       [](FakeRunHost& h) {
         if (h.progressSteps == 2) throw rows::RunStopped();
       },
       false},
      {"before the save", nullptr, true},
  };
  for (const Case& c : cases) {
    std::filesystem::create_directories(settings.outputFile.parent_path());
    test::writeFile(settings.outputFile, "previous");
    host = FakeRunHost{};
    host.chooseWorkbook(workbook(12, 3));
    host.onEvents = c.onEvents;
    host.stop = c.stopBeforeSave;
    EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::Stopped) << c.what;
    EXPECT_EQ(test::readFile(settings.outputFile), "previous") << c.what;
    EXPECT_TRUE(host.messages.empty()) << c.what;
    EXPECT_TRUE(opener.opened.empty()) << c.what;
    expectIdleAtEnd();
  }
}

TEST_F(ConversionRunTest, MissingSheetsAreReportedWithNoRecords) {
  MemoryWorkbook book;
  book.text("KVD507 L (2023)", 6, 2, "x");
  book.saveXlsx(dir / "renamed.xlsx");
  host.chooseWorkbook(dir / "renamed.xlsx");
  EXPECT_EQ(runGeneration(host, settings, opener), RunOutcome::NoRecords);
  EXPECT_EQ(messageTexts(),
            std::vector<std::string>{"information: \"renamed.xlsx\" faile įrašų nerasta."});
  ASSERT_EQ(host.reports.size(), 1u);
  ASSERT_EQ(host.reports[0].findings.size(), 2u);  // no payer finding: nothing to write
  EXPECT_EQ(host.reports[0].findings[0].kind, rows::Finding::Kind::MissingSheet);
  EXPECT_NE(host.reports[0].findings[0].text.find("gal tai \"KVD507 L (2023)\"?"),
            std::string::npos);
  EXPECT_EQ(host.reports[0].findings[1].sheet, U);
}

class AppendRunTest : public ConversionRunTest {
 protected:
  // An earlier declaration written by a generation run.
  std::filesystem::path existing(int lCount, int uCount) {
    FakeRunHost first;
    first.chooseWorkbook(workbook(lCount, uCount, "first.xlsx"));
    first.code = "111";
    first.payer = "Pirmas";
    first.shownYear = "2021";
    RunSettings firstSettings = settings;
    firstSettings.outputFile = dir / "old.ffdata";
    NoOpener none;
    EXPECT_EQ(runGeneration(first, firstSettings, none), RunOutcome::Written);
    return firstSettings.outputFile;
  }
};

TEST_F(AppendRunTest, AddsTheWorkbookRowsToTheExistingOnes) {
  host.existing = existing(2, 1);
  host.chooseWorkbook(workbook(3, 1));  // L0, L1 and U0 merge into the existing rows
  host.code = "222";
  EXPECT_EQ(runAppend(host, settings, opener), RunOutcome::Written);
  EXPECT_TRUE(host.messages.empty()) << testing::PrintToString(messageTexts());
  const Declaration d = written();
  ASSERT_EQ(d.lRows.size(), 3u);
  EXPECT_EQ(d.lRows[0][rows::cell::kAmount], "20,00");
  EXPECT_EQ(d.lRows[2][rows::cell::kAmount], "10,00");
  ASSERT_EQ(d.uRows.size(), 1u);
  EXPECT_EQ(d.uRows[0][rows::cell::kAmount], "5,00");
  EXPECT_EQ(d.header.name, "PIRMAS");  // the main page is the existing declaration's
  EXPECT_EQ(d.header.id, "111");

  ASSERT_EQ(host.reports.size(), 1u);
  const SheetSummary& l = host.reports[0].summary.l;
  EXPECT_EQ(l.existingRows, 2u);
  EXPECT_EQ(l.rowsRead, 3u);
  EXPECT_EQ(l.rowsMerged, 2u);
  EXPECT_EQ(l.rowsWritten, 3u);
  EXPECT_DOUBLE_EQ(l.amount, 50);
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// Rows whose names, identifiers, codes and extra texts hold what XML escapes, line breaks, tabs
// and text that looks like a reference: each must find itself in the declaration written from
// it, and in that declaration as another program may save it again.
TEST_F(AppendRunTest, AWorkbookAppendedToItsOwnDeclarationDoublesEveryAmount) {
  MemoryWorkbook book;
  book.sheet(L).sheet(U);
  book.text(L, 6, 2, "A<B> & \"C\"\tD").text(L, 6, 3, "1&amp;2<3>").number(L, 6, 8, 10);
  book.text(L, 6, 9, "&<");
  book.text(L, 7, 2, "X\nY &#62; &quot;").text(L, 7, 3, "&#62;\t'").number(L, 7, 8, 20);
  book.text(L, 7, 9, "x\ny");
  book.text(L, 8, 2, "E&amp;F").text(L, 8, 4, "a & b").number(L, 8, 8, 30).text(L, 8, 9, ">");
  book.text(U, 6, 2, "Ū&V \"W\"").text(U, 6, 3, "l&t\nx<").text(U, 6, 7, "<u>");
  book.number(U, 6, 13, 2.5).text(U, 6, 14, "&&");
  book.saveXlsx(dir / "special.xlsx");
  host.chooseWorkbook(dir / "special.xlsx");

  ASSERT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
  const std::string own = test::readFile(settings.outputFile);
  const Declaration once = written();
  ASSERT_EQ(once.lRows.size(), 3u);
  ASSERT_EQ(once.uRows.size(), 1u);

  std::string resaved = replaceAll(own, "&quot;", "\"");
  resaved = replaceAll(resaved, "&gt;", "&#62;");
  resaved = replaceAll(resaved, "&#10;", "&#xA;");
  resaved = replaceAll(resaved, "\"></Field>", "\"/>");
  ASSERT_NE(resaved, own);

  for (const std::string& existing : {own, resaved}) {
    test::writeFile(dir / "existing.ffdata", existing);
    host.existing = dir / "existing.ffdata";
    ASSERT_EQ(runAppend(host, settings, opener), RunOutcome::Written);
    const Declaration twice = written();
    ASSERT_EQ(twice.lRows.size(), once.lRows.size());
    ASSERT_EQ(twice.uRows.size(), once.uRows.size());
    const auto expectDoubled = [](const rows::RowTable& before, const rows::RowTable& after,
                                  const std::vector<std::string>& amounts) {
      for (std::size_t i = 0; i < amounts.size(); ++i) {
        rows::PaymentRow row = before[i];
        row[rows::cell::kAmount] = amounts[i];
        EXPECT_EQ(after[i], row) << i;
      }
    };
    expectDoubled(once.lRows, twice.lRows, {"20,00", "40,00", "60,00"});
    expectDoubled(once.uRows, twice.uRows, {"5,00"});
  }
}

TEST_F(AppendRunTest, AnUnreadableDeclarationStopsTheRunAndKeepsTheOutput) {
  host.chooseWorkbook(workbook(1, 0));
  std::filesystem::create_directories(settings.outputFile.parent_path());
  test::writeFile(settings.outputFile, "previous");
  // Not UTF-8, missing, cut short, and a pipe, which must be refused rather than waited on.
  ASSERT_EQ(::mkfifo((dir / "pipe.ffdata").c_str(), 0600), 0);
  const std::pair<std::string, std::string> cases[] = {
      {"bad.ffdata", "\xEF\xBB\xBF<a>\xC0\xAF</a>"},
      {"missing.ffdata", ""},
      {"cut.ffdata", "<FFData>\n<Field Name=\"L3-1\">A</Field>\n"},
      {"pipe.ffdata", ""}};
  for (const auto& [name, bytes] : cases) {
    host.messages.clear();
    host.existing = dir / name;
    if (!bytes.empty()) test::writeFile(*host.existing, bytes);
    EXPECT_EQ(runAppend(host, settings, opener), RunOutcome::Failed);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0].kind, "error");
    EXPECT_NE(host.messages[0].text.find(host.existing->filename().string()), std::string::npos);
    EXPECT_EQ(test::readFile(settings.outputFile), "previous");
    expectIdleAtEnd();
  }
}

TEST_F(AppendRunTest, ADeclarationThatWouldFillTheMemoryStopsTheRun) {
  // One long L3 value carried over to five thousand rows by their L10 lines.
  std::string text =
      "<FFData>\r\n<Pages Count=\"1\">\r\n<Page PageDefName=\"KVD507L\">\r\n"
      "<Field Name=\"L3-1\">" +
      std::string(1 << 20, 'x') + "</Field>\r\n";
  for (int i = 1; i <= 5000; ++i) {
    text += "<Field Name=\"L10-" + std::to_string(i) + "\">0</Field>\r\n";
  }
  text += "</Page>\r\n</Pages>\r\n</FFData>\r\n";
  host.existing = dir / "big.ffdata";
  test::writeFile(*host.existing, text);
  host.chooseWorkbook(workbook(1, 0));
  std::filesystem::create_directories(settings.outputFile.parent_path());
  test::writeFile(settings.outputFile, "previous");

  EXPECT_EQ(runAppend(host, settings, opener), RunOutcome::Failed);
  EXPECT_EQ(messageTexts(),
            std::vector<std::string>{
                "error: Nepavyko perskaityti formos big.ffdata: " +
                reasonText(ErrorKind::kTooMuchText, rows::RowTable::kDefaultTextLimit)});
  EXPECT_EQ(test::readFile(settings.outputFile), "previous");
}

struct HeaderCase {
  const char* what;
  std::string code;  // chosen in the window
  std::string year;
  bool differs;  // the review says so on top
};

// The declaration appended to keeps its payer and year on every page, whatever is chosen; a
// choice that differs is put on top of the review.
TEST_F(AppendRunTest, EveryFooterCarriesTheExtendedDeclarationsPayerAndYear) {
  const HeaderCase cases[] = {
      {"the same payer and year", "111", "2021", false},
      {"another year", "111", "2025", true},
      {"another payer", "222", "2021", true},
  };
  const std::filesystem::path old = existing(12, 6);
  for (const HeaderCase& c : cases) {
    SCOPED_TRACE(c.what);
    host = FakeRunHost{};
    host.existing = old;
    host.chooseWorkbook(workbook(3, 1, "more.xlsx"));
    host.code = c.code;
    host.payer = "Kitas";
    host.shownYear = c.year;
    ASSERT_EQ(runAppend(host, settings, opener), RunOutcome::Written);
    const std::string file = test::readFile(settings.outputFile);
    std::size_t pages = 0;
    for (std::size_t at = file.find("<Field Name=\"B_MM_ID\">"); at != std::string::npos;
         at = file.find("<Field Name=\"B_MM_ID\">", at + 1)) {
      ++pages;
      const std::string expected = "<Field Name=\"B_MM_ID\">111</Field>";
      EXPECT_EQ(file.compare(at, expected.size(), expected), 0);
    }
    EXPECT_EQ(pages, 1u + 2 + 2);
    std::size_t years = 0;
    for (std::size_t at = file.find("<Field Name=\"B_ML_Metai\">"); at != std::string::npos;
         at = file.find("<Field Name=\"B_ML_Metai\">", at + 1)) {
      ++years;
      const std::string expected = "<Field Name=\"B_ML_Metai\">2021</Field>";
      EXPECT_EQ(file.compare(at, expected.size(), expected), 0);
    }
    EXPECT_EQ(years, pages);
    ASSERT_EQ(host.confirmations.size(), 1u);
    const std::optional<std::string> differs = chosenPayerDiffers(host.confirmations[0]);
    EXPECT_EQ(differs.has_value(), c.differs);
    if (differs) {
      EXPECT_EQ(*differs, "Papildoma 2021 m. forma: PIRMAS (111); lange pasirinkta: Kitas (" +
                              c.code + "), " + c.year + " m.");
    }
  }
}

// The same workbook appended twice doubles every amount: said, and counted by --strict.
TEST_F(AppendRunTest, AWorkbookAppendedASecondTimeIsAFinding) {
  const std::filesystem::path book = workbook(4, 2, "first.xlsx");
  const std::filesystem::path old = existing(4, 2);  // made from the same rows
  host.existing = old;
  host.chooseWorkbook(book);
  host.code = "111";
  ASSERT_EQ(runAppend(host, settings, opener), RunOutcome::Written);
  ASSERT_EQ(host.reports.size(), 1u);
  std::vector<std::string> told;
  for (const rows::Finding& f : host.reports[0].findings) {
    if (f.kind == rows::Finding::Kind::AlreadyInDeclaration) told.push_back(f.describe());
  }
  EXPECT_EQ(told, std::vector<std::string>{
                      "visos darbaknygės eilutės jau yra formoje: sumos bus padvigubintos"});
  EXPECT_TRUE(host.reports[0].losesData());

  // New rows, or only some of the rows, are no second append.
  for (const auto& other : {workbook(5, 2, "more.xlsx"), workbook(2, 0, "part.xlsx")}) {
    host = FakeRunHost{};
    host.existing = old;
    host.code = "111";
    host.chooseWorkbook(other);
    ASSERT_EQ(runAppend(host, settings, opener), RunOutcome::Written);
    for (const rows::Finding& f : host.reports.at(0).findings) {
      EXPECT_NE(f.kind, rows::Finding::Kind::AlreadyInDeclaration) << other;
    }
  }
  settings.writeMode = WriteMode::UnlessDataLost;
  host = FakeRunHost{};
  host.existing = old;
  host.code = "111";
  host.chooseWorkbook(book);
  EXPECT_EQ(runAppend(host, settings, opener), RunOutcome::NotWritten);
}

// The declaration replaced is kept whole beside it, the newest 20 of them.
TEST_F(ConversionRunTest, TheReplacedDeclarationIsKeptAndTwentyAreLeft) {
  settings.keepReplaced = true;
  host.chooseWorkbook(workbook(1, 0));
  host.code = "123456789";
  ASSERT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
  EXPECT_FALSE(host.kept.has_value());  // nothing was there to keep
  const std::filesystem::path folder = dir / "formos" / "ankstesnės";
  for (int run = 1; run <= 21; ++run) {
    const std::string before = test::readFile(settings.outputFile);
    // Each kept file is told apart by when it was written.
    std::filesystem::last_write_time(
        settings.outputFile,
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(100 - run));
    host = FakeRunHost{};
    host.code = "123456789";
    host.shownYear = std::to_string(2000 + run);
    host.chooseWorkbook(workbook(run, 0));
    ASSERT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
    ASSERT_TRUE(host.kept.has_value());
    EXPECT_EQ(host.kept->parent_path(), folder);
    EXPECT_EQ(test::readFile(*host.kept), before);
    EXPECT_TRUE(host.kept->filename().string().starts_with(
        "KVD507 123456789 " + (run == 1 ? std::string("2022") : std::to_string(1999 + run))))
        << *host.kept;
  }
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  EXPECT_EQ(count, 20u);
  // The oldest, the one of 2022, went first.
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    EXPECT_EQ(entry.path().filename().string().find(" 2022 "), std::string::npos);
  }
}

TEST_F(AppendRunTest, ExistingRowsAreWrittenAgainWhenTheWorkbookHasNone) {
  host.existing = existing(2, 2);
  host.chooseWorkbook(workbook(0, 0));
  EXPECT_EQ(runAppend(host, settings, opener), RunOutcome::Written);
  EXPECT_TRUE(host.messages.empty());
  EXPECT_EQ(written().lRows.size(), 2u);
  EXPECT_EQ(written().uRows.size(), 2u);
}

TEST_F(AppendRunTest, TheDeclarationIsReadBeforeTheMissingWorkbookIsReported) {
  host.existing = dir / "bad.ffdata";
  test::writeFile(*host.existing, "not a declaration");
  EXPECT_EQ(runAppend(host, settings, opener), RunOutcome::Failed);
  host.messages.clear();
  host.existing = existing(1, 0);
  EXPECT_EQ(runAppend(host, settings, opener), RunOutcome::NoWorkbook);
  EXPECT_EQ(messageTexts(), std::vector<std::string>{"error: Darbaknygė nepasirinkta"});
}

TEST_F(AppendRunTest, TheOutputFileItselfCanBeExtended) {
  host.chooseWorkbook(workbook(2, 0));
  ASSERT_EQ(runGeneration(host, settings, opener), RunOutcome::Written);
  host.existing = settings.outputFile;
  ASSERT_EQ(runAppend(host, settings, opener), RunOutcome::Written);
  const Declaration d = written();
  ASSERT_EQ(d.lRows.size(), 2u);
  EXPECT_EQ(d.lRows[0][rows::cell::kAmount], "20,00");
}

}  // namespace
}  // namespace kvd507::runs
