#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "WindowDriver.h"
#include "gui/DeclarationPrint.h"
#include "gui/DeclarationViewer.h"
#include "runs/ConversionRun.h"
#include "runs/FakeRunHost.h"
#include "support/MemoryWorkbook.h"

namespace kvd507::test {
namespace {

// A declaration of 3 L pages (23 rows) and 2 U pages (7 rows), written by a run, names and
// payer with Lithuanian letters.
std::filesystem::path writeDeclaration(const TempDir& dir, int lCount = 23, int uCount = 7) {
  const std::string L = "KVD507 L";
  const std::string U = "KVD507 U";
  MemoryWorkbook book;
  for (int i = 0; i < lCount; ++i) {
    book.text(L, 6 + i, 2, "Žydrūnas Šliūpas " + std::to_string(i))
        .number(L, 6 + i, 8, 100 + i)
        .text(L, 6 + i, 9, "01");
  }
  for (int i = 0; i < uCount; ++i) {
    book.text(U, 6 + i, 2, "Ona " + std::to_string(i)).number(U, 6 + i, 13, 2.5);
    book.text(U, 6 + i, 14, "12");
  }
  book.saveXlsx(dir / "in.xlsx");
  FakeRunHost host;
  host.chooseWorkbook(dir / "in.xlsx");
  host.code = "123456789";
  host.payer = "Ąžuolynė";
  host.shownYear = "2023";
  FakeOpener opener;
  test::RunSettings settings;
  settings.outputFile = dir / "KVD507.ffdata";
  EXPECT_EQ(test::runGeneration(host, settings, opener), runs::RunOutcome::Written);
  return settings.outputFile;
}

std::vector<gui::DeclarationViewer*> openViewers() {
  std::vector<gui::DeclarationViewer*> viewers;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* viewer = qobject_cast<gui::DeclarationViewer*>(widget);
        viewer && viewer->isVisible()) {
      viewers.push_back(viewer);
    }
  }
  return viewers;
}

void closeViewers() {
  for (gui::DeclarationViewer* viewer : openViewers()) viewer->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::string run(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  while (const std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe))
    output.append(buffer, got);
  ::pclose(pipe);
  return output;
}

TEST(DeclarationViewer, ShowsTheHeaderAndEveryRowWithItsPageAndSlot) {
  TempDir dir;
  const std::filesystem::path file = writeDeclaration(dir);
  const std::string before = readFile(file);
  gui::DeclarationViewer viewer(runs::readDeclarationContent(file), ',');
  EXPECT_EQ(viewer.windowTitle().toStdString(), "KVD507 forma – KVD507.ffdata");
  auto label = [&viewer](const char* name) {
    return viewer.findChild<QLabel*>(name)->text().toStdString();
  };
  EXPECT_EQ(label("payerCode"), "123456789");
  EXPECT_EQ(label("payerName"), "ĄŽUOLYNĖ");  // as the form holds it
  EXPECT_EQ(label("year"), "2023");
  EXPECT_EQ(label("pages"), "6");

  const QAbstractItemModel& l = *viewer.findChild<QTableView*>("KVD507L")->model();
  const QAbstractItemModel& u = *viewer.findChild<QTableView*>("KVD507U")->model();
  ASSERT_EQ(l.rowCount(), 23);
  ASSERT_EQ(u.rowCount(), 7);
  EXPECT_EQ(l.columnCount(), 12);  // page, slot, L1..L10
  EXPECT_EQ(u.columnCount(), 16);  // page, slot, U1..U10, U12..U15
  auto cell = [](const QAbstractItemModel& t, int r, int c) {
    return t.index(r, c).data().toString().toStdString();
  };
  // Headed as the printout: the template's name and the field id, the full name as a tooltip.
  EXPECT_EQ(l.headerData(4, Qt::Horizontal).toString().toStdString(), "Gavėjas\nL3");
  EXPECT_EQ(l.headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString().toStdString(),
            "L3: Gavėjo vardas, pavardė / pavadinimas");
  EXPECT_EQ(u.headerData(13, Qt::Horizontal).toString().toStdString(), "Adresas\nU13");
  EXPECT_EQ(l.index(0, 9).data(Qt::TextAlignmentRole).toInt() & Qt::AlignRight, Qt::AlignRight);
  EXPECT_EQ(cell(l, 0, 0), "2");
  EXPECT_EQ(cell(l, 0, 1), "1");
  EXPECT_EQ(cell(l, 22, 0), "4");  // the third L page
  EXPECT_EQ(cell(l, 22, 1), "3");
  EXPECT_EQ(cell(l, 22, 4), "ŽYDRŪNAS ŠLIŪPAS 22");
  EXPECT_EQ(cell(l, 22, 9), "122,00");
  EXPECT_EQ(cell(u, 0, 0), "5");  // U pages follow the L pages
  EXPECT_EQ(cell(u, 6, 0), "6");
  EXPECT_EQ(cell(u, 6, 1), "2");
  const QTableWidget& totals = *viewer.findChild<QTableWidget*>("totals");
  EXPECT_EQ(totals.item(0, 3)->text().toStdString(), "2553,00");  // 100 + 101 + ... + 122
  EXPECT_EQ(viewer.findChild<QTabWidget*>("tabs")->tabText(3).toStdString(), "Pastabos (0)");
  EXPECT_EQ(readFile(file), before);  // only read
}

// A window for looking at closes on Escape and Ctrl+W, as a dialog does.
TEST(DeclarationViewer, EscapeAndCtrlWCloseIt) {
  TempDir dir;
  const std::filesystem::path file = writeDeclaration(dir, 3, 1);
  for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")}) {
    gui::DeclarationViewer viewer(runs::readDeclarationContent(file), ',');
    viewer.show();
    QApplication::setActiveWindow(&viewer);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
    QTest::keySequence(&viewer, keys);
    EXPECT_FALSE(viewer.isVisible()) << keys.toString().toStdString();
  }
}

// What a declaration alone shows to be wrong: an empty code, an amount that is no number.
TEST(DeclarationViewer, FindsEmptyCodesAndAmountsThatAreNoNumbers) {
  TempDir dir;
  const std::filesystem::path file = writeDeclaration(dir);
  std::string text = readFile(file);
  auto replace = [&text](const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  };
  replace("<Field Name=\"L5-2\">01</Field>", "<Field Name=\"L5-2\"></Field>");
  replace("<Field Name=\"L8-3\">102,00</Field>", "<Field Name=\"L8-3\">102 eur</Field>");
  writeFile(file, text);
  const runs::DeclarationContent content = runs::readDeclarationContent(file);
  ASSERT_EQ(content.findings.size(), 2u);
  // What the reading found comes first: the same findings as an append run's.
  EXPECT_EQ(content.findings[0].describe(),
            "lapas \"KVD507 L\", stulpelis L8-3: \"102 eur\" nėra skaičius (2 puslapis, 3 vieta; "
            "gavėjas ŽYDRŪNAS ŠLIŪPAS 2), suma laikoma 0");
  EXPECT_EQ(content.findings[1].describe(),
            "lapas \"KVD507 L\", stulpelis L5-2: išmokos kodas tuščias (2 puslapis, 2 vieta; "
            "gavėjas ŽYDRŪNAS ŠLIŪPAS 1)");
  EXPECT_EQ(content.summary.amountsNotCounted, 1u);
  gui::DeclarationViewer viewer(content, ',');
  EXPECT_EQ(viewer.findChild<QTabWidget*>("tabs")->tabText(3).toStdString(), "Pastabos (2)");
}

// The PDF: A4, about forty rows a page, every page headed by the payer and the year and
// numbered; its text holds the payer code, the names with their Lithuanian letters and the
// totals.
TEST(DeclarationViewer, SavesTheSameAsAnA4Pdf) {
  TempDir dir;
  // 88 L rows on two pages, the U appendix on a page of its own, then the totals: four pages.
  const std::filesystem::path file = writeDeclaration(dir, 88, 7);
  gui::DeclarationViewer viewer(runs::readDeclarationContent(file), ',');
  const std::filesystem::path pdf = dir / "forma.pdf";
  QString suggested;
  viewer.setPdfQuestion([&](QWidget*, const QString& offered) -> std::optional<QString> {
    suggested = offered;
    return QString::fromStdString(pdf.string());
  });
  viewer.findChild<QPushButton*>("pdf")->click();
  EXPECT_EQ(suggested.toStdString(), (dir / "KVD507.pdf").string());
  ASSERT_TRUE(std::filesystem::exists(pdf));

  const std::string info = run("pdfinfo '" + pdf.string() + "'");
  EXPECT_THAT(info, testing::HasSubstr("Pages:           4"));
  EXPECT_THAT(info, testing::HasSubstr("(A4)"));
  const std::string text = run("pdftotext -layout '" + pdf.string() + "' -");
  for (const char* part : {"123456789", "ŽYDRŪNAS ŠLIŪPAS 87", "ĄŽUOLYNĖ", "12628,00", "1 iš 4",
                           "4 iš 4", "Išmokos suma"}) {
    EXPECT_THAT(text, testing::HasSubstr(part));
  }
  // The header on each page.
  std::size_t headers = 0;
  for (std::size_t at = text.find("KVD507 – ĄŽUOLYNĖ (123456789), 2023 m.");
       at != std::string::npos; at = text.find("KVD507 – ĄŽUOLYNĖ", at + 1)) {
    ++headers;
  }
  EXPECT_EQ(headers, 4u);

  // A place that cannot be written is told, and nothing is left there.
  QString error;
  EXPECT_FALSE(gui::writeDeclarationPdf(runs::readDeclarationContent(file),
                                        QString::fromStdString((dir / "nėra" / "a.pdf").string()),
                                        ',', error));
  EXPECT_FALSE(error.isEmpty());
}

// No value of the printout is cut: long personal and foreign codes, names and addresses stand
// whole on their line, under headings that carry the template's column names and field ids;
// the U appendix, too wide for a portrait page, is laid out landscape.
TEST(DeclarationViewer, PrintsEveryCodeNameAndAddressWhole) {
  TempDir dir;
  const std::filesystem::path pdf = dir / "forma.pdf";
  QString error;
  ASSERT_TRUE(gui::writeDeclarationPdf(
      runs::readDeclarationContent(dataFile("declaration_long_codes_names_addresses.ffdata")),
      QString::fromStdString(pdf.string()), ',', error))
      << error.toStdString();
  const std::string text = run("pdftotext -layout '" + pdf.string() + "' -");
  for (const char* whole : {"38001150000",
                            "LV12345678901234567",
                            "380011500001234567",
                            "GB987654321012345",
                            "DE381150000123456789",
                            "PL9876543210987",
                            "KONSTANTINAS ALEKSANDRAVIČIUS-ŽEMAITIS",
                            "UAB \"ŠIAURĖS ŽIBURYS\" IR PARTNERIAI, FILIALAS",
                            "OBERSCHWÄBISCHE ELEKTRIZITÄTSWERKE GMBH",
                            "JĀNIS BĒRZIŅŠ-KALNIŅŠ",
                            "Brīvības iela 123-45, Vidzemes priekšpilsēta",
                            "ul. Marszałkowska 140/142 lok. 12",
                            "Oberschwäbisch Gmünd",
                            "LV-1010",
                            "Gavėjo kodas",
                            "Gavėjas",
                            "Išmokos",
                            "Adresas",
                            "Pašto",
                            "Tušti stulpeliai: D (L7)",
                            "1234,56 ",
                            "KVD507U, formos 4–5 puslapiai",
                            "1 iš 3",
                            "B 12: eilučių 6"}) {
    EXPECT_THAT(text, testing::HasSubstr(whole));
  }
  EXPECT_THAT(text, testing::Not(testing::HasSubstr("…")));
  EXPECT_THAT(run("pdfinfo -f 2 -l 2 '" + pdf.string() + "'"),
              testing::HasSubstr("Page    2 size:  842 x 595 pts (A4)"));
}

// A name too long for even a landscape page wraps within its column, and its row is as tall as
// its lines: the next row starts below the last of them instead of being drawn over it.
TEST(DeclarationViewer, ALongNameWrapsAndItsRowMakesRoomForEveryLine) {
  TempDir dir;
  const std::string L = "KVD507 L";
  std::string longName;
  for (int word = 1; word <= 45; ++word) longName += "Žodis" + std::to_string(word) + " ";
  MemoryWorkbook book;
  const std::vector<std::string> names{"Ona Pirma", longName, "Ona Trečia", "Ona Ketvirta"};
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int row = 6 + static_cast<int>(i);
    book.text(L, row, 2, names[i]).number(L, row, 8, 100).text(L, row, 9, "01");
  }
  book.saveXlsx(dir / "in.xlsx");
  FakeRunHost host;
  host.chooseWorkbook(dir / "in.xlsx");
  host.code = "123456789";
  host.shownYear = "2023";
  FakeOpener opener;
  test::RunSettings settings;
  settings.outputFile = dir / "KVD507.ffdata";
  ASSERT_EQ(test::runGeneration(host, settings, opener), runs::RunOutcome::Written);
  const std::filesystem::path pdf = dir / "forma.pdf";
  QString error;
  ASSERT_TRUE(gui::writeDeclarationPdf(runs::readDeclarationContent(settings.outputFile),
                                       QString::fromStdString(pdf.string()), ',', error))
      << error.toStdString();

  std::vector<std::string> lines;
  std::stringstream text(run("pdftotext -layout '" + pdf.string() + "' -"));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  auto lineOf = [&lines](const std::string& part) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (lines[i].find(part) != std::string::npos) return i;
    }
    return lines.size();
  };
  const std::size_t first = lineOf("ŽODIS1 ");
  const std::size_t last = lineOf("ŽODIS45");
  ASSERT_LT(last, lines.size());
  EXPECT_GT(last, first) << "the name did not wrap";
  EXPECT_LT(lineOf("ONA PIRMA"), first);
  EXPECT_GT(lineOf("ONA TREČIA"), last) << "the next row was drawn over the name";
  // Every word of the name is printed, once.
  for (int word = 1; word <= 45; ++word) {
    const std::string part = "ŽODIS" + std::to_string(word) + " ";
    std::size_t count = 0;
    for (const std::string& line : lines) count += (line + " ").find(part) != std::string::npos;
    EXPECT_EQ(count, 1u) << part;
  }
}

TEST(DeclarationViewer, TheWindowOpensTheLastDeclarationAndOneWithoutADesktopHandler) {
  WindowDriver d;
  closeViewers();
  // No program registered for .ffdata: the written declaration opens in the viewer instead of
  // an error after a successful run.
  d.opener.answer = false;
  d.chooseWorkbook(d.workbook(12, 3));
  d.runWith("btn_kvd507");
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
  std::vector<gui::DeclarationViewer*> viewers = openViewers();
  ASSERT_EQ(viewers.size(), 1u);
  EXPECT_EQ(viewers[0]->content().lRows.size(), 12u);
  closeViewers();

  // "Peržiūrėti formą": the one just written, or one chosen.
  QPushButton& button = d.control<QPushButton>("btn_perziura");
  EXPECT_EQ(button.text().toStdString(), "Peržiūrėti formą");
  ASSERT_NE(button.menu(), nullptr);
  d.window().viewLastDeclaration();
  viewers = openViewers();
  ASSERT_EQ(viewers.size(), 1u);
  EXPECT_EQ(viewers[0]->content().file, d.declaration());
  closeViewers();

  // The declaration a second run replaced is offered among the kept ones, and opens.
  d.runWith("btn_kvd507");
  closeViewers();  // the one the run opened
  auto* kept = d.window().findChild<QMenu*>("perziura_ankstesnes");
  ASSERT_NE(kept, nullptr);
  emit button.menu()->aboutToShow();
  ASSERT_EQ(kept->actions().size(), 1);
  EXPECT_TRUE(kept->isEnabled());
  EXPECT_EQ(kept->actions()[0]->text().left(7).toStdString(), "KVD507 ");
  kept->actions()[0]->trigger();
  viewers = openViewers();
  ASSERT_EQ(viewers.size(), 1u);
  EXPECT_EQ(viewers[0]->content().file.parent_path().filename().string(), "ankstesnės");
  EXPECT_EQ(viewers[0]->content().lRows.size(), 12u);
  closeViewers();

  const std::filesystem::path other = writeDeclaration(d.folder);
  d.services.answers.push_back(other);
  d.window().viewChosenDeclaration();
  EXPECT_EQ(d.services.filters.back(), "FFDATA (*.ffdata)");
  viewers = openViewers();
  ASSERT_EQ(viewers.size(), 1u);
  EXPECT_EQ(viewers[0]->content().uRows.size(), 7u);
  closeViewers();
}

}  // namespace
}  // namespace kvd507::test
