#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "ModalHelper.h"
#include "WindowDriver.h"
#include "declaration/DeclarationReader.h"
#include "gui/MiddleElision.h"
#include "runs/ChoiceDefaults.h"
#include "support/MemoryWorkbook.h"

namespace kvd507::test {
namespace {

using Kind = gui::WindowServices::MessageKind;
using testing::ElementsAre;

const char* const kRunButtons[] = {"btn_open", "btn_kvd507", "btn_papildyti", "btn_formos",
                                   "btn_close"};

struct Written {
  rows::RowTable lRows;
  rows::RowTable uRows;
  declaration::DeclarationHeader header;
};

Written readDeclaration(const std::filesystem::path& file) {
  Written w;
  declaration::readExistingDeclaration(file, w.lRows, w.uRows, w.header);
  return w;
}

// The window is idle: five buttons enabled, default cursor, empty status, progress at 0.
void expectIdle(WindowDriver& d) {
  for (const char* name : kRunButtons) {
    if (std::string(name) == "btn_kvd507" || std::string(name) == "btn_papildyti") continue;
    EXPECT_TRUE(d.enabled(name)) << name;
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(busyWindow(d.window()));
  // After a write the status line names the declaration; after "Atšaukti" in the review it says
  // that nothing was written; otherwise it is empty.
  const std::string status = d.text("lb_action");
  if (status == "Forma neįrašyta") {
    // nothing more to tell
  } else if (std::filesystem::exists(d.declaration())) {
    EXPECT_TRUE(status.starts_with("Forma įrašyta: " + d.declaration().string() + " (L įrašų: ") ||
                status.empty())
        << status;
  } else {
    EXPECT_EQ(status, "");
  }
  EXPECT_EQ(d.control<QProgressBar>("ProgressBar1").value(), 0);
}

TEST(MainWindow, OpensLaidOutAsDesigned) {
  WindowDriver d;
  gui::MainWindow& w = d.window();
  EXPECT_EQ(w.windowTitle().toStdString(), "KVD507-2022");
  EXPECT_EQ(w.size(), QSize(725, 538));
  EXPECT_EQ(w.minimumSize(), w.maximumSize());
  EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(w.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(w.palette().color(QPalette::Window), QColor(255, 251, 240));

  struct Control {
    const char* name;
    QRect geometry;  // in its panel
    const char* text;
    bool enabled;
  };
  const Control controls[] = {
      // The first panel starts at the top: no empty band above it.
      {"Panel2", {0, 0, 725, 330}, nullptr, true},
      {"Panel1", {0, 328, 725, 192}, nullptr, true},
      {"StatusBar1", {0, 519, 725, 19}, nullptr, true},
      {"cb_asmuo", {198, 21, 251, 24}, nullptr, true},
      {"btn_new", {456, 16, 117, 35}, "Įvesti naują", true},
      {"btn_koreguoti", {578, 16, 117, 35}, "Koreguoti", true},
      {"btn_salinti", {578, 81, 117, 35}, "Šalinti", true},
      {"dt_metai", {198, 86, 59, 24}, nullptr, true},
      {"btn_template", {509, 152, 186, 33}, "Atidaryti šabloną", true},
      {"btn_open", {28, 201, 186, 33}, "Pasirinkti darbaknygę", true},
      {"btn_valyti", {509, 201, 186, 33}, "Išvalyti", true},
      {"ProgressBar1", {28, 276, 667, 16}, nullptr, true},
      {"btn_kvd507", {28, 22, 310, 43}, "Formuoti formą  (KVD507.ffdata)", false},
      {"btn_formos", {385, 22, 310, 43}, "Suformuotų formų saugojimo vieta", true},
      {"btn_papildyti", {28, 86, 310, 43}, "Papildyti formą  (*.ffdata)", false},
      {"btn_close", {385, 86, 310, 43}, "Uždaryti programą", true},
      {"btn_perziura", {385, 140, 310, 35}, "Peržiūrėti formą", true},
      {"lb_copyright", {28, 154, 95, 15}, nullptr, true},
  };
  for (const Control& c : controls) {
    QWidget& widget = d.control(c.name);
    EXPECT_EQ(widget.geometry(), c.geometry) << c.name;
    EXPECT_EQ(widget.isEnabled(), c.enabled) << c.name;
    if (c.text != nullptr) {
      EXPECT_EQ(d.control<QPushButton>(c.name).text().toStdString(), c.text);
      EXPECT_FALSE(d.control<QPushButton>(c.name).isDefault()) << c.name;
    }
    const bool tooltip = std::string(c.name) == "btn_open";
    EXPECT_EQ(widget.toolTip().isEmpty(), !tooltip) << c.name;
  }
  struct Label {
    const char* name;
    QPoint at;
    const char* text;
  };
  const Label labels[] = {
      {"Label1", {82, 24}, "Išmokų mokėtojas:"},
      {"Label3", {65, 89}, "Mokestinis laikotarpis:"},
      {"lb_info",
       {66, 160},
       "Atidarykite Excel šabloną, užpildykite ir išsaugokite jį.  Šabloną rasite čia:"},
      {"lb_dok_pav", {286, 209}, "Darbaknygė nepasirinkta"},
      {"lb_action", {28, 255}, ""},
  };
  for (const Label& l : labels) {
    EXPECT_EQ(d.control(l.name).pos(), l.at) << l.name;
    EXPECT_EQ(d.text(l.name), l.text) << l.name;
    // The whole text fits its label.
    const QLabel& label = d.control<QLabel>(l.name);
    EXPECT_LE(label.fontMetrics().horizontalAdvance(label.text()), label.width()) << l.name;
  }
  EXPECT_TRUE(d.control("lb_kodas").isHidden());
  EXPECT_EQ(d.text("lb_kodas"), "lb_kodas");
  // The chosen workbook is held by the window's choices alone.
  EXPECT_EQ(d.window().findChild<QWidget*>("lb_dok_link"), nullptr);
  EXPECT_EQ(d.window().choices().workbook().path, "lb_dok_link");
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").maxVisibleItems(), 20);
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentIndex(), -1);
  EXPECT_EQ(d.control<QProgressBar>("ProgressBar1").maximum(), 100);
  EXPECT_EQ(d.control<QLabel>("lb_copyright").font().pixelSize(), 12);
  EXPECT_EQ(d.control<QLabel>("lb_action").font().pixelSize(), 13);

  // The years run up to this one; the one that has ended is selected.
  QComboBox& years = d.control<QComboBox>("dt_metai");
  const int now = runs::currentCalendarYear();
  ASSERT_EQ(years.count(), now - 2020 + 1);
  EXPECT_EQ(years.itemText(0).toStdString(), "2020");
  EXPECT_EQ(years.currentText().toStdString(), std::to_string(now - 1));
  EXPECT_EQ(d.window().choices().year(), std::to_string(now - 1));
}

// The names of the controls Tab stops at, in reading order: top to bottom, and left to right
// among those that share a line (their heights overlap).
std::vector<std::string> readingOrder(const QWidget& window) {
  std::vector<const QWidget*> stops;
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) != 0) {
      stops.push_back(w);
    }
  }
  const auto place = [&window](const QWidget* w) {
    return QRect(w->mapTo(&window, QPoint(0, 0)), w->size());
  };
  std::sort(stops.begin(), stops.end(),
            [&](const QWidget* a, const QWidget* b) { return place(a).top() < place(b).top(); });
  std::vector<std::string> order;
  for (std::size_t first = 0; first < stops.size();) {
    std::size_t end = first + 1;
    int bottom = place(stops[first]).bottom();
    while (end < stops.size() && place(stops[end]).top() <= bottom) {
      bottom = std::max(bottom, place(stops[end]).bottom());
      ++end;
    }
    std::vector<const QWidget*> line(stops.begin() + first, stops.begin() + end);
    std::sort(line.begin(), line.end(), [&](const QWidget* a, const QWidget* b) {
      return place(a).left() < place(b).left();
    });
    for (const QWidget* w : line) order.push_back(w->objectName().toStdString());
    first = end;
  }
  return order;
}

// Tab from the focused control, `count` times: the names of the controls it passes.
std::vector<std::string> tabWalk(int count) {
  std::vector<std::string> order;
  for (int i = 0; i < count; ++i) {
    order.push_back(QApplication::focusWidget()->objectName().toStdString());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  return order;
}

TEST(MainWindow, FocusStartsOnCloseAndTabGoesInReadingOrder) {
  WindowDriver d;
  d.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d.window()));
  // Disabled buttons are skipped; from "Uždaryti programą" Tab goes on to the viewer's button
  // below it and then starts again at the top.
  EXPECT_THAT(tabWalk(13),
              ElementsAre("btn_close", "btn_perziura", "cb_asmuo", "btn_new", "btn_koreguoti",
                          "dt_metai", "btn_salinti", "btn_template", "btn_open", "btn_valyti",
                          "btn_formos", "btn_close", "btn_perziura"));

  // With every control enabled the walk is the window read line by line, whatever is added.
  d.chooseWorkbook(d.folder / "a.xlsx");
  d.control("cb_asmuo").setFocus();
  const std::vector<std::string> expected = readingOrder(d.window());
  ASSERT_EQ(expected.size(), 13u);
  EXPECT_EQ(expected.front(), "cb_asmuo");
  EXPECT_EQ(tabWalk(static_cast<int>(expected.size())), expected);
}

TEST(MainWindow, WorkbookChoiceMovesBetweenItsTwoStates) {
  WindowDriver d;
  struct Step {
    const char* what;
    std::function<void(WindowDriver&)> act;
    std::string link;
    std::string name;
    bool runButtons;
  };
  const std::string first = (d.folder / "a.xlsx").string();
  const std::string second = (d.folder / "b.xls").string();
  const std::string none(runs::kNoWorkbookPath);
  const Step steps[] = {
      {"chosen", [&](WindowDriver& w) { w.chooseWorkbook(first); }, first, "a.xlsx", true},
      {"replaced", [&](WindowDriver& w) { w.chooseWorkbook(second); }, second, "b.xls", true},
      {"dialog cancelled", [](WindowDriver& w) { w.control<QPushButton>("btn_open").click(); },
       none, "Darbaknygė nepasirinkta", false},
      {"chosen again", [&](WindowDriver& w) { w.chooseWorkbook(first); }, first, "a.xlsx", true},
      {"cleared", [](WindowDriver& w) { w.control<QPushButton>("btn_valyti").click(); }, none,
       "Darbaknygė nepasirinkta", false},
      {"cleared when already clear",
       [](WindowDriver& w) { w.control<QPushButton>("btn_valyti").click(); }, none,
       "Darbaknygė nepasirinkta", false},
  };
  for (const Step& s : steps) {
    s.act(d);
    EXPECT_EQ(d.text("lb_dok_pav"), s.name) << s.what;
    EXPECT_EQ(d.window().choices().workbook().path, s.link) << s.what;
    EXPECT_EQ(d.enabled("btn_kvd507"), s.runButtons) << s.what;
    EXPECT_EQ(d.enabled("btn_papildyti"), s.runButtons) << s.what;
    for (const char* name : {"btn_open", "btn_formos", "btn_close"}) {
      EXPECT_TRUE(d.enabled(name)) << s.what << " " << name;
    }
  }
  EXPECT_THAT(d.services.filters,
              testing::Each(std::string("XLS, XLSX, ODS (*.xls *.xlsx *.ods)")));
  EXPECT_TRUE(d.services.messages.empty());
}

TEST(MainWindow, GenerationRunWritesOpensAndGoesBackToIdle) {
  WindowDriver d;
  d.chooseWorkbook(d.workbook(12, 3));
  d.runWith("btn_kvd507");
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
  EXPECT_EQ(d.opener.opened(), std::vector<std::filesystem::path>{d.declaration()});
  const Written w = readDeclaration(d.declaration());
  EXPECT_EQ(w.lRows.size(), 12u);
  EXPECT_EQ(w.uRows.size(), 3u);
  EXPECT_EQ(w.header.id, "lb_kodas");  // no payer list: the marker is written as it stands
  expectIdle(d);
  EXPECT_TRUE(d.enabled("btn_kvd507"));
  EXPECT_TRUE(d.enabled("btn_papildyti"));
  EXPECT_EQ(d.text("lb_dok_pav"), "in.xlsx");
}

TEST(MainWindow, EveryRunMessageIsShownWhileBusyWithItsExactText) {
  struct Case {
    const char* what;
    std::function<void(WindowDriver&)> prepare;
    const char* button;
    std::vector<std::string> messages;
    bool written;
  };
  const Case cases[] = {
      {"no workbook: the button enabled after a clear during an earlier run",
       [](WindowDriver& d) {
         d.chooseWorkbook(d.workbook(1, 0));
         d.control<QPushButton>("btn_valyti").click();
         d.control("btn_kvd507").setEnabled(true);
       },
       "btn_kvd507",
       {"error: Darbaknygė nepasirinkta"},
       false},
      {"no records",
       [](WindowDriver& d) { d.chooseWorkbook(d.workbook(0, 0, "tuščias.xlsx")); },
       "btn_kvd507",
       {"information: \"tuščias.xlsx\" faile įrašų nerasta."},
       false},
      {"not a workbook",
       [](WindowDriver& d) {
         writeFile(d.folder / "notes.xlsx", "just text");
         d.chooseWorkbook(d.folder / "notes.xlsx");
       },
       "btn_kvd507",
       {"error: Blogai užpildytas failas notes.xlsx: tai ne darbaknygė (nei .xlsx, nei .xls, nei "
        ".ods)"},
       false},
      {"output folder cannot be made",
       [](WindowDriver& d) {
         writeFile(d.folder / "formos", "a file where the folder goes");
         d.chooseWorkbook(d.workbook(1, 0));
       },
       "btn_kvd507",
       {"error: Nepavyko įrašyti formos {folder}/formos/KVD507.ffdata: failas \"{folder}/formos\": "
        "kelyje vietoj aplanko yra failas"},
       false},
      {"a reader stops: told in the review before the declaration is written, not in a box",
       [](WindowDriver& d) { d.chooseWorkbook(dataFile("error_value_in_l_sheet_row_7.xlsx")); },
       "btn_kvd507",
       {},
       true},
      {"append, no workbook: the declaration is read first",
       [](WindowDriver& d) {
         d.chooseWorkbook(d.workbook(1, 0));
         d.control<QPushButton>("btn_valyti").click();
         d.control("btn_papildyti").setEnabled(true);
         d.services.answers.push_back(d.folder / "gone.ffdata");
       },
       "btn_papildyti",
       {"error: Nepavyko perskaityti formos gone.ffdata: tokio failo ar aplanko nėra"},
       false},
      {"append, the chosen declaration cannot be read",
       [](WindowDriver& d) {
         d.chooseWorkbook(d.workbook(1, 0));
         d.services.answers.push_back(d.folder / "gone.ffdata");
       },
       "btn_papildyti",
       {"error: Nepavyko perskaityti formos gone.ffdata: tokio failo ar aplanko nėra"},
       false},
  };
  for (const Case& c : cases) {
    WindowDriver d;
    c.prepare(d);
    d.runWith(c.button);
    std::vector<std::string> expected = c.messages;
    for (std::string& text : expected) {
      for (std::size_t at; (at = text.find("{folder}")) != std::string::npos;) {
        text.replace(at, 8, d.folder.path().string());
      }
    }
    EXPECT_EQ(d.services.texts(), expected) << c.what;
    for (const auto& shown : d.services.messages) {
      EXPECT_TRUE(shown.busyCursor) << c.what;
      EXPECT_FALSE(shown.busyDialog) << c.what;
      EXPECT_TRUE(shown.runButtonsDisabled) << c.what;
    }
    EXPECT_EQ(std::filesystem::exists(d.declaration()), c.written) << c.what;
    expectIdle(d);
    EXPECT_EQ(d.services.filters.size(), std::string(c.button) == "btn_papildyti" ? 2u : 1u)
        << c.what;
  }
}

TEST(MainWindow, EveryRunIsReviewedBeforeWritingWithPayerYearAndTotals) {
  WindowDriver d;
  writeFile(d.folder / "asmenys.txt", "Alfa;123456789\r\n");
  writeFile(d.folder / "_nustatymai.ini", "[NUSTATYMAI]\r\nasmuo=0\r\n");
  d.makeWindow();
  const std::string L = "KVD507 L";
  auto book = [&d, &L](const std::string& name, const std::string& amount) {
    MemoryWorkbook b;
    b.text(L, 6, 2, "Ona").text(L, 6, 5, "1").text(L, 6, 8, amount).text(L, 6, 9, "01");
    b.mergeDown(L, 6, 2, 2).text(L, 7, 5, "2").number(L, 7, 8, 5).text(L, 7, 9, "01");
    b.sheet("KVD507 U");
    b.saveXlsx(d.folder / name);
    return d.folder / name;
  };

  // Nothing to say beyond the declaration itself: the review names the payer, the year and the
  // totals, "Formuoti" by default; the status line names the file. The grouped amount is a
  // number.
  MemoryWorkbook clean;
  clean.text(L, 6, 2, "Ona").text(L, 6, 5, "1").text(L, 6, 8, "1 234,50").text(L, 6, 9, "01");
  clean.sheet("KVD507 U");
  clean.saveXlsx(d.folder / "clean.xlsx");
  d.chooseWorkbook(d.folder / "clean.xlsx");
  d.runWith("btn_kvd507");
  ASSERT_EQ(d.services.writeReviews.size(), 1u);
  const runs::WriteReview& cleanReview = d.services.writeReviews[0];
  EXPECT_TRUE(cleanReview.report.findings.empty());
  EXPECT_FALSE(cleanReview.replaced.has_value());
  EXPECT_TRUE(runs::writeByDefault(cleanReview));
  const std::vector<std::string> facts = runs::reviewFacts(cleanReview, ',');
  ASSERT_EQ(facts.size(), 2u);
  EXPECT_EQ(facts[0], "Mokėtojas: ALFA (123456789); metai: " + d.window().choices().year());
  EXPECT_EQ(facts[1],
            "Visa forma: Išmokos suma 1234,50; Išskaičiuota mokesčio suma 0,00; L įrašų 1, "
            "U įrašų 0, puslapių 2");
  EXPECT_TRUE(d.services.reports.empty());
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
  ASSERT_TRUE(std::filesystem::exists(d.declaration()));
  EXPECT_EQ(readDeclaration(d.declaration()).lRows[0][rows::cell::kAmount], "1234,50");
  EXPECT_EQ(d.text("lb_action"), "Forma įrašyta: " + d.declaration().string() +
                                     " (L įrašų: 1, U įrašų: 0, puslapių: 2)");
  const std::string previous = readFile(d.declaration());

  // Findings: asked before writing; "Atšaukti" keeps the previous declaration byte for byte.
  d.chooseWorkbook(book("merged.xlsx", "12,50 EUR"));
  EXPECT_EQ(d.text("lb_action"), "");  // the next action clears it
  d.services.reviewAnswers.push_back(false);
  d.runWith("btn_kvd507");
  ASSERT_EQ(d.services.reviews.size(), 2u);
  const ScriptedServices::ShownReport& shown = d.services.reviews[1];
  // What it would replace is said, and the default is "Atšaukti".
  ASSERT_TRUE(d.services.writeReviews[1].replaced.has_value());
  EXPECT_TRUE(runs::reviewFacts(d.services.writeReviews[1], ',')
                  .back()
                  .starts_with("Bus pakeista: ALFA (123456789), "));
  EXPECT_FALSE(runs::writeByDefault(d.services.writeReviews[1]));
  EXPECT_TRUE(shown.busyCursor);  // asked while the run waits
  EXPECT_FALSE(shown.busyDialog);
  std::vector<rows::Finding::Kind> kinds;
  for (const rows::Finding& f : shown.report.findings) kinds.push_back(f.kind);
  using FindingKind = rows::Finding::Kind;
  EXPECT_THAT(kinds, ElementsAre(FindingKind::NotANumber, FindingKind::NoAmount,
                                 FindingKind::RowWithoutText));
  EXPECT_EQ(shown.report.summary.l.rowsWritten, 1u);
  EXPECT_EQ(readFile(d.declaration()), previous);
  EXPECT_EQ(d.opener.opened().size(), 1u);  // only the clean run's
  EXPECT_TRUE(d.services.reports.empty());
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
  EXPECT_EQ(d.text("lb_action"), "Forma neįrašyta");
  expectIdle(d);

  // "Formuoti" writes and opens it; no report afterwards, it was seen before.
  d.services.reviewAnswers.push_back(true);
  d.runWith("btn_kvd507");
  EXPECT_EQ(d.services.reviews.size(), 3u);
  EXPECT_NE(readFile(d.declaration()), previous);
  EXPECT_EQ(d.opener.opened().size(), 2u);
  EXPECT_TRUE(d.services.reports.empty());
  EXPECT_TRUE(d.text("lb_action").starts_with("Forma įrašyta: ")) << d.text("lb_action");
  // The declaration replaced is kept whole, and the status line says where.
  const std::filesystem::path kept = d.folder / "formos" / "ankstesnės";
  ASSERT_EQ(std::distance(std::filesystem::directory_iterator(kept),
                          std::filesystem::directory_iterator()),
            1);
  EXPECT_EQ(readFile(std::filesystem::directory_iterator(kept)->path()), previous);
  EXPECT_NE(d.text("lb_action").find("; ankstesnė išsaugota: " + kept.string() + "/KVD507 "),
            std::string::npos)
      << d.text("lb_action");
  expectIdle(d);

  d.services.reviewAnswers.push_back(true);
  d.chooseWorkbook(dataFile("error_value_in_l_sheet_row_7.xlsx"));
  d.runWith("btn_kvd507");
  ASSERT_EQ(d.services.reviews.size(), 4u);
  const std::vector<rows::Finding>& found = d.services.reviews[3].report.findings;
  EXPECT_TRUE(std::any_of(found.begin(), found.end(), [](const rows::Finding& f) {
    return f.kind == rows::Finding::Kind::ReadStopped;
  }));
}

TEST(MainWindow, AppendRunAsksFirstThenAddsTheWorkbookRows) {
  WindowDriver d;
  d.chooseWorkbook(d.workbook(3, 1));
  d.runWith("btn_kvd507");
  const std::filesystem::path earlier = d.folder / "earlier.ffdata";
  std::filesystem::rename(d.declaration(), earlier);

  d.chooseWorkbook(d.workbook(2, 2, "more.xlsx"));
  d.services.answers.push_back(earlier);
  bool askedWithTheRunButtonsDisabled = false;
  bool askedUnderTheBusyCursor = true;
  bool askedBeforeTheRun = false;
  d.services.duringDialog = [&] {
    askedWithTheRunButtonsDisabled = !d.enabled("btn_close") && !d.enabled("btn_open");
    askedUnderTheBusyCursor = busyWindow(d.window()) || busyDialogs();
    askedBeforeTheRun = !d.window().runInProgress();
  };
  d.runWith("btn_papildyti");
  EXPECT_TRUE(askedWithTheRunButtonsDisabled);
  EXPECT_FALSE(askedUnderTheBusyCursor);  // the busy cursor comes with the work
  EXPECT_TRUE(askedBeforeTheRun);
  EXPECT_EQ(d.services.filters.back(), "FFDATA (*.ffdata)");
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());

  // The workbook's L0, L1, U0, U1 merge into the earlier rows; the earlier L2 stays.
  const Written w = readDeclaration(d.declaration());
  ASSERT_EQ(w.lRows.size(), 3u);
  EXPECT_EQ(w.uRows.size(), 2u);
  EXPECT_EQ(w.header.name, "");  // taken over from the earlier declaration
  EXPECT_EQ(d.window().runRequest().existingDeclaration, earlier);
  expectIdle(d);

  // Escape in the dialog: the run ends there; nothing is read or written.
  d.services.duringDialog = nullptr;
  const std::string before = readFile(d.declaration());
  const auto listing = [&d] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(d.folder / "formos")) {
      names.push_back(entry.path().string());
    }
    return names;
  };
  const std::vector<std::string> files = listing();
  const std::size_t reviews = d.services.reviews.size();
  d.control<QPushButton>("btn_papildyti").click();
  EXPECT_FALSE(d.window().runInProgress());
  EXPECT_EQ(readFile(d.declaration()), before);
  EXPECT_EQ(listing(), files);
  EXPECT_EQ(d.services.reviews.size(), reviews);
  EXPECT_EQ(d.text("lb_action"), "Papildymas atšauktas");
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
  for (const char* name : kRunButtons) EXPECT_TRUE(d.enabled(name)) << name;
}

TEST(MainWindow, EscapeEndsTheProgramWhenIdle) {
  WindowDriver d;
  d.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d.window()));
  QTest::keyClick(&d.window(), Qt::Key_Escape);
  EXPECT_FALSE(d.window().isVisible());
}

// Clearing during a run, by "Išvalyti" or Escape: the run goes on with the workbook it has, its
// message names no document, and both run buttons come back although nothing is chosen.
TEST(MainWindow, ClearingDuringARunTakesEffectAtOnceAndTheRunGoesOn) {
  for (bool escape : {false, true}) {
    WindowDriver d;
    d.window().show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d.window()));
    d.chooseWorkbook(d.workbook(0, 0));
    RowGate gate(1);
    d.window().setRowHook(gate.hook());
    d.control<QPushButton>("btn_kvd507").click();
    ASSERT_TRUE(gate.waitUntilPaused());
    // During a run exactly the five run buttons are disabled, under the busy cursor.
    for (const char* name : kRunButtons) EXPECT_FALSE(d.enabled(name)) << name;
    for (const char* name : {"btn_new", "btn_koreguoti", "btn_salinti", "btn_valyti",
                             "btn_template", "cb_asmuo", "dt_metai", "lb_copyright"}) {
      EXPECT_TRUE(d.enabled(name)) << name;
    }
    EXPECT_TRUE(busyWindow(d.window()));
    EXPECT_FALSE(busyDialogs());
    if (escape) {
      QTest::keyClick(&d.window(), Qt::Key_Escape);
    } else {
      d.control<QPushButton>("btn_valyti").click();
    }
    EXPECT_TRUE(d.window().isVisible());
    EXPECT_TRUE(d.window().runInProgress());
    EXPECT_EQ(d.text("lb_dok_pav"), "Darbaknygė nepasirinkta");
    EXPECT_EQ(d.window().choices().workbook().path, runs::kNoWorkbookPath);
    gate.release();
    ASSERT_TRUE(d.waitForRunEnd());
    // The run keeps the workbook it was started with, and names it.
    EXPECT_EQ(d.services.texts(),
              std::vector<std::string>{"information: \"in.xlsx\" faile įrašų nerasta."})
        << escape;
    EXPECT_TRUE(d.enabled("btn_kvd507"));
    EXPECT_TRUE(d.enabled("btn_papildyti"));
    expectIdle(d);

    d.window().setRowHook(nullptr);
    d.runWith("btn_kvd507");
    EXPECT_EQ(d.services.texts().back(), "error: Darbaknygė nepasirinkta");
  }
}

TEST(MainWindow, PayerAndYearChangedDuringARunAreForTheNextRun) {
  WindowDriver d;
  writeFile(d.folder / "asmenys.txt", "Alfa;111\r\nBeta;222\r\n");
  writeFile(d.folder / "_nustatymai.ini", "[NUSTATYMAI]\r\nasmuo=0\r\n");
  d.makeWindow();
  EXPECT_EQ(d.text("lb_kodas"), "111");
  d.chooseWorkbook(d.workbook(25, 0));

  // A first run counts the rows; the last 25 belong to the writer.
  RowGate counter(-1);
  d.window().setRowHook(counter.hook());
  d.runWith("btn_kvd507");
  const int total = counter.rows();

  // Pause at the writer's fifteenth record, on the second L page.
  RowGate gate(total - 25 + 15);
  d.window().setRowHook(gate.hook());
  d.control<QPushButton>("btn_kvd507").click();
  ASSERT_TRUE(gate.waitUntilPaused());
  d.control<QComboBox>("cb_asmuo").setCurrentIndex(1);
  d.control<QComboBox>("dt_metai").setCurrentText("2021");
  gate.release();
  ASSERT_TRUE(d.waitForRunEnd());

  std::string text = readFile(d.declaration());
  std::vector<std::string> codes;
  std::vector<std::string> years;
  const std::string codeField = "<Field Name=\"B_MM_ID\">";
  const std::string yearField = "<Field Name=\"B_ML_Metai\">";
  for (std::size_t at = text.find(codeField); at != std::string::npos;
       at = text.find(codeField, at + 1)) {
    const std::size_t start = at + codeField.size();
    codes.push_back(text.substr(start, text.find('<', start) - start));
  }
  for (std::size_t at = text.find(yearField); at != std::string::npos;
       at = text.find(yearField, at + 1)) {
    const std::size_t start = at + yearField.size();
    years.push_back(text.substr(start, text.find('<', start) - start));
  }
  const std::string before = std::to_string(runs::currentCalendarYear() - 1);
  // Main page, then the three L pages: one payer and one year, those the run started with.
  EXPECT_THAT(codes, ElementsAre("111", "111", "111", "111"));
  EXPECT_THAT(years, ElementsAre(before, before, before, before));
  // The next run takes them.
  d.window().setRowHook(nullptr);
  d.runWith("btn_kvd507");
  text = readFile(d.declaration());
  EXPECT_EQ(text.find("<Field Name=\"B_MM_ID\">111</Field>"), std::string::npos);
  EXPECT_NE(text.find("<Field Name=\"B_MM_ID\">222</Field>"), std::string::npos);
  EXPECT_NE(text.find("<Field Name=\"B_ML_Metai\">2021</Field>"), std::string::npos);
  // The change was stored as the payer selection.
  EXPECT_NE(readFile(d.folder / "_nustatymai.ini").find("asmuo=1"), std::string::npos);
}

TEST(MainWindow, ClosingDuringARunStopsItAndKeepsThePreviousDeclaration) {
  WindowDriver d;
  d.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d.window()));
  std::filesystem::create_directory(d.folder / "formos");
  writeFile(d.declaration(), "the previous declaration");
  d.chooseWorkbook(d.workbook(30, 5));
  for (int pauseAt : {1, 40}) {  // in a reader, in the writer
    RowGate gate(pauseAt);
    d.window().setRowHook(gate.hook());
    d.control<QPushButton>("btn_kvd507").click();
    ASSERT_TRUE(gate.waitUntilPaused());
    if (pauseAt == 40) {
      d.window().close();                   // the close box
      EXPECT_TRUE(d.window().isVisible());  // waits for the run
      gate.release();
      ASSERT_TRUE(d.waitForRunEnd());
      EXPECT_TRUE(QTest::qWaitFor([&] { return !d.window().isVisible(); }, 5000));
      EXPECT_EQ(gate.rows(), pauseAt);  // not one row more
    } else {
      gate.release();
      ASSERT_TRUE(d.waitForRunEnd());
      writeFile(d.declaration(), "the previous declaration");
      d.window().setRowHook(nullptr);
    }
  }
  EXPECT_EQ(readFile(d.declaration()), "the previous declaration");
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(MainWindow, FolderShortcutsAndCopyrightLine) {
  WindowDriver d;
  // The status bar says which program folder the shortcuts open.
  QLabel& folderLabel = d.control<QLabel>("lb_aplankas");
  EXPECT_EQ(folderLabel.toolTip().toStdString(), d.folder.path().string());
  EXPECT_EQ(folderLabel.text().toStdString(), "Programos aplankas: " + d.folder.path().string());
  // It is the status line's only text, and starts at its left edge.
  d.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&d.window()));
  EXPECT_LE(folderLabel.mapTo(&d.control("StatusBar1"), QPoint(0, 0)).x(), 4);
  d.control<QPushButton>("btn_template").click();
  EXPECT_FALSE(std::filesystem::exists(d.folder / "sablonas"));  // not created, not opened
  EXPECT_TRUE(d.opener.opened().empty());
  EXPECT_THAT(d.services.texts(),
              ElementsAre("error: Šablonų aplankas nerastas: " +
                          (d.folder.path() / "sablonas").lexically_normal().string()));
  d.services.messages.clear();
  std::filesystem::create_directory(d.folder / "sablonas");
  d.control<QPushButton>("btn_template").click();
  d.control<QPushButton>("btn_formos").click();
  EXPECT_TRUE(std::filesystem::is_directory(d.folder / "formos"));
  d.control<QPushButton>("btn_formos").click();
  QLabel& copyright = d.control<QLabel>("lb_copyright");
  EXPECT_EQ(copyright.palette().color(QPalette::WindowText), QColor(0, 0, 128));
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(&copyright, &enter);
  EXPECT_EQ(copyright.palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_TRUE(copyright.font().bold());
  EXPECT_EQ(copyright.cursor().shape(), Qt::PointingHandCursor);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&copyright, &leave);
  EXPECT_EQ(copyright.palette().color(QPalette::WindowText), QColor(0, 0, 128));
  EXPECT_FALSE(copyright.font().bold());
  // The copyright line tells about the program, in a dialog of its own.
  QString title;
  QString folder;
  whenModalShows([&](QWidget* about) {
    title = about->windowTitle();
    folder = about->findChild<QLabel*>("folder")->text();
    about->findChild<QPushButton*>("close")->click();
  });
  QTest::mouseClick(&copyright, Qt::LeftButton);
  EXPECT_EQ(title.toStdString(), "Apie");
  EXPECT_EQ(folder.toStdString(), d.folder.path().lexically_normal().string());
  EXPECT_EQ(d.opener.opened(),
            (std::vector<std::filesystem::path>{
                d.folder / "sablonas" / "", d.folder / "formos" / "", d.folder / "formos" / ""}));
  EXPECT_TRUE(d.services.messages.empty());
}

// A build is a program folder of its own: the template folder is copied beside the executables.
TEST(MainWindow, TheTemplateButtonOpensTheFolderOfABuild) {
  WindowDriver d;
  const std::filesystem::path built = KVD507_BUILT_PROGRAM_FOLDER;
  ASSERT_TRUE(std::filesystem::exists(built / "sablonas" / "KVD507.xlsx"));
  gui::MainWindow window(built, d.services, d.opener);
  window.findChild<QPushButton*>("btn_template")->click();
  EXPECT_EQ(d.opener.opened(), std::vector<std::filesystem::path>{built / "sablonas" / ""});
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
}

// Return and the keypad's Enter press the focused button, as Space and a click do.
TEST(MainWindow, ReturnAndEnterPressTheFocusedButton) {
  struct Case {
    const char* button;
    std::function<void(WindowDriver&)> prepare;
    std::function<bool(WindowDriver&)> pressed;
  };
  // The payer buttons open the payer dialog; it is cancelled once it shows.
  auto payerDialog = [](const std::shared_ptr<QString>& seen) {
    return [seen](WindowDriver&) {
      whenModalShows([seen](QWidget* dialog) {
        *seen = dialog->windowTitle();
        static_cast<QDialog*>(dialog)->reject();
      });
    };
  };
  auto newSeen = std::make_shared<QString>();
  auto editSeen = std::make_shared<QString>();
  auto menuSeen = std::make_shared<QString>();
  auto wrote = [](WindowDriver& d) {
    return d.waitForRunEnd() && std::filesystem::exists(d.declaration());
  };
  const Case cases[] = {
      {"btn_close", [](WindowDriver&) {}, [](WindowDriver& d) { return !d.window().isVisible(); }},
      {"btn_formos", [](WindowDriver&) {},
       [](WindowDriver& d) { return d.opener.opened().size() == 1; }},
      {"btn_template",
       [](WindowDriver& d) { std::filesystem::create_directory(d.folder / "sablonas"); },
       [](WindowDriver& d) { return d.opener.opened().size() == 1; }},
      {"btn_open", [](WindowDriver& d) { d.services.answers.push_back(d.folder / "a.xlsx"); },
       [](WindowDriver& d) { return d.text("lb_dok_pav") == "a.xlsx"; }},
      {"btn_valyti", [](WindowDriver& d) { d.chooseWorkbook(d.folder / "a.xlsx"); },
       [](WindowDriver& d) { return d.text("lb_dok_pav") == "Darbaknygė nepasirinkta"; }},
      {"btn_kvd507", [](WindowDriver& d) { d.chooseWorkbook(d.workbook(1, 0)); }, wrote},
      // The declaration dialog is asked, and cancelled: the run ends there.
      {"btn_papildyti", [](WindowDriver& d) { d.chooseWorkbook(d.workbook(1, 0)); },
       [](WindowDriver& d) {
         return d.services.filters.size() == 2 && d.text("lb_action") == "Papildymas atšauktas";
       }},
      {"btn_new", payerDialog(newSeen), [newSeen](WindowDriver&) { return *newSeen == "Asmuo"; }},
      {"btn_koreguoti", payerDialog(editSeen),
       [editSeen](WindowDriver&) { return *editSeen == "Asmuo"; }},
      // The viewer's button opens its menu, which is closed once it shows.
      {"btn_perziura",
       [menuSeen](WindowDriver&) {
         QTimer::singleShot(0, [menuSeen] {
           QWidget* popup = QApplication::activePopupWidget();
           *menuSeen = popup != nullptr ? popup->objectName() : QString();
           if (popup != nullptr) popup->close();
         });
       },
       [menuSeen](WindowDriver&) { return *menuSeen == "perziura_menu"; }},
  };
  for (const Case& c : cases) {
    for (const auto& [key, modifier] : {std::pair{Qt::Key_Return, Qt::NoModifier},
                                        std::pair{Qt::Key_Enter, Qt::KeypadModifier}}) {
      newSeen->clear();
      editSeen->clear();
      menuSeen->clear();
      WindowDriver d;
      d.window().show();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&d.window()));
      c.prepare(d);
      QPushButton& button = d.control<QPushButton>(c.button);
      button.setFocus();
      ASSERT_TRUE(button.hasFocus()) << c.button;
      QTest::keyClick(&button, key, modifier);
      EXPECT_TRUE(c.pressed(d)) << c.button << (key == Qt::Key_Return ? " Return" : " Enter");
      EXPECT_TRUE(d.services.messages.empty())
          << c.button << testing::PrintToString(d.services.texts());
    }
  }
}

// Return on a control that is no button does what it did: nothing here.
TEST(MainWindow, ReturnOnTheSelectorsPressesNoButton) {
  WindowDriver d;
  d.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d.window()));
  for (const char* name : {"cb_asmuo", "dt_metai"}) {
    d.control(name).setFocus();
    QTest::keyClick(&d.control(name), Qt::Key_Return);
  }
  EXPECT_TRUE(d.window().isVisible());
  EXPECT_TRUE(d.services.filters.empty());
  EXPECT_TRUE(d.opener.opened().empty());
}

// The busy cursor is the window's: a dialog opened during a run shows the ordinary one.
TEST(MainWindow, DialogsOpenedDuringARunShowTheOrdinaryCursor) {
  WindowDriver d;
  d.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&d.window()));
  d.chooseWorkbook(d.workbook(3, 0));
  RowGate gate(1);
  d.window().setRowHook(gate.hook());
  d.control<QPushButton>("btn_kvd507").click();
  ASSERT_TRUE(gate.waitUntilPaused());
  ASSERT_TRUE(busyWindow(d.window()));

  const std::pair<const char*, std::function<void()>> openers[] = {
      {"Asmuo", [&] { d.control<QPushButton>("btn_new").click(); }},
      {"Apie", [&] { QTest::mouseClick(&d.control("lb_copyright"), Qt::LeftButton); }},
  };
  for (const auto& [title, open] : openers) {
    QString shown;
    bool busy = true;
    whenModalShows([&](QWidget* dialog) {
      shown = dialog->windowTitle();
      busy = busyDialogs() || busyWindow(*dialog);
      static_cast<QDialog*>(dialog)->reject();
    });
    open();
    EXPECT_EQ(shown.toStdString(), title);
    EXPECT_FALSE(busy) << title;
  }
  gate.release();
  ASSERT_TRUE(d.waitForRunEnd());
  expectIdle(d);
}

TEST(MainWindow, ALongWorkbookNameKeepsItsEndAndTheTooltipHasThePath) {
  WindowDriver d;
  const std::string name = "Išmokos_2025_metai_galutinis_variantas_po_patikrinimo_B.xlsx";
  ASSERT_EQ(QString::fromStdString(name).size(), 60);
  const std::filesystem::path path = d.folder / name;
  d.chooseWorkbook(path);
  QLabel& label = d.control<QLabel>("lb_dok_pav");
  // The label keeps the whole name; it shows its start and its end.
  EXPECT_EQ(d.text("lb_dok_pav"), name);
  EXPECT_EQ(label.toolTip().toStdString(), path.string());
  const QString shown = gui::middleElided(label);
  EXPECT_TRUE(shown.startsWith("Išmok")) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("_B.xlsx")) << shown.toStdString();
  EXPECT_TRUE(shown.contains(u'…')) << shown.toStdString();
  EXPECT_LE(label.fontMetrics().horizontalAdvance(shown), label.width());
  // With room enough it is shown whole.
  label.resize(label.fontMetrics().horizontalAdvance(label.text()) + 10, label.height());
  EXPECT_EQ(gui::middleElided(label).toStdString(), name);

  // A short name is shown whole; no workbook, no tooltip.
  d.chooseWorkbook(d.folder / "a.xlsx");
  EXPECT_EQ(gui::middleElided(label).toStdString(), "a.xlsx");
  d.control<QPushButton>("btn_valyti").click();
  EXPECT_EQ(gui::middleElided(label).toStdString(), "Darbaknygė nepasirinkta");
  EXPECT_TRUE(label.toolTip().isEmpty());
}

TEST(MainWindow, PayerListProblemsAreShownAndTheWindowStillOpens) {
  WindowDriver d;
  std::filesystem::create_directory(d.folder / "asmenys.txt");
  d.makeWindow();
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").count(), 0);
  EXPECT_THAT(d.services.texts(),
              ElementsAre("error: Nepavyko perskaityti failo asmenys.txt: tai ne paprastas failas, "
                          "o aplankas, kanalas ar įrenginys"));
  // The start-up stopped before it emptied the status line.
  EXPECT_EQ(d.text("lb_action"), "VEIKSMAS");
}

TEST(MainWindow, EmptyLinesOfThePayerListCountForNoPosition) {
  WindowDriver d;
  writeFile(d.folder / "asmenys.txt", "Alfa;111\r\n\r\nBeta;222\r\n");
  writeFile(d.folder / "_nustatymai.ini", "[NUSTATYMAI]\r\nasmuo=1\r\n");
  d.makeWindow();
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").count(), 2);
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentText(), "Beta");
  EXPECT_EQ(d.text("lb_kodas"), "222");
  EXPECT_TRUE(d.services.messages.empty());
  EXPECT_EQ(d.text("lb_action"), "");
}

// Fills the payer dialog once it shows and presses "Įvesti".
void answerPayerDialog(const QString& name, const QString& code) {
  whenModalShows([=](QWidget* dialog) {
    auto* nameField = dialog->findChild<QLineEdit*>("ed_pav");
    auto* codeField = dialog->findChild<QLineEdit*>("ed_im_kodas");
    nameField->clear();
    codeField->clear();
    QTest::keyClicks(nameField, name);
    QTest::keyClicks(codeField, code);
    dialog->findChild<QPushButton*>("btn_ok")->click();
  });
}

std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(MainWindow, APayerAddedOrEditedThroughTheDialogReachesTheDeclaration) {
  WindowDriver d;
  writeFile(d.folder / "asmenys.txt", "Alfa;111\r\n");
  writeFile(d.folder / "_nustatymai.ini", "[NUSTATYMAI]\r\nasmuo=0\r\n");
  d.makeWindow();
  d.chooseWorkbook(d.workbook(11, 0));

  // Added before the selected payer in the order: the new payer is the one written.
  answerPayerDialog("Aa & co", "222");
  d.control<QPushButton>("btn_new").click();
  EXPECT_EQ(readFile(d.folder / "asmenys.txt"), "Aa & co;222\r\nAlfa;111\r\n");
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentText(), "Aa & co");
  EXPECT_EQ(d.text("lb_kodas"), "222");
  d.runWith("btn_kvd507");
  std::string text = readFile(d.declaration());
  // The code on the main page and in the footers of both L pages, the name on the main page.
  EXPECT_EQ(countOf(text, "<Field Name=\"B_MM_ID\">222</Field>"), 3u);
  EXPECT_EQ(countOf(text, "<Field Name=\"B_MM_Pavad\">AA &amp; CO</Field>"), 1u);
  // The payer shown is the payer stored.
  EXPECT_EQ(readFile(d.folder / "_nustatymai.ini"),
            "[NUSTATYMAI]\r\nasmuo=0\r\nasmuo_eilute=Aa%20&%20co;222\r\n");

  // Edited so that it sorts last: still the payer written.
  answerPayerDialog("Zeta", "333");
  d.control<QPushButton>("btn_koreguoti").click();
  EXPECT_EQ(readFile(d.folder / "asmenys.txt"), "Alfa;111\r\nZeta;333\r\n");
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentText(), "Zeta");
  d.runWith("btn_kvd507");
  text = readFile(d.declaration());
  EXPECT_EQ(countOf(text, "<Field Name=\"B_MM_ID\">333</Field>"), 3u);
  EXPECT_EQ(countOf(text, "<Field Name=\"B_MM_Pavad\">ZETA</Field>"), 1u);
  EXPECT_EQ(readFile(d.folder / "_nustatymai.ini"),
            "[NUSTATYMAI]\r\nasmuo=1\r\nasmuo_eilute=Zeta;333\r\n");

  // Removed after a confirmation: the payer shown and stored is gone, so none is selected until
  // the user picks one.
  whenModalShows([](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(), "Pašalinti mokėtoją „Zeta“ (kodas 333) iš sąrašo?");
    for (QAbstractButton* button : box->buttons()) {
      if (button->text() == "Šalinti") button->click();
    }
  });
  d.control<QPushButton>("btn_salinti").click();
  EXPECT_EQ(readFile(d.folder / "asmenys.txt"), "Alfa;111\r\n");
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentIndex(), -1);
  EXPECT_EQ(readFile(d.folder / "_nustatymai.ini"), "[NUSTATYMAI]\r\nasmuo=-1\r\n");
  d.control<QComboBox>("cb_asmuo").setCurrentIndex(0);
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentText(), "Alfa");
  d.runWith("btn_kvd507");
  text = readFile(d.declaration());
  EXPECT_EQ(countOf(text, "<Field Name=\"B_MM_ID\">111</Field>"), 3u);

  // At the next start the stored payer is the one shown.
  d.makeWindow();
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentText(), "Alfa");
  EXPECT_EQ(d.text("lb_kodas"), "111");
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
}

// In a fresh folder the first payers added are stored as they are shown: a new window shows
// the payer last shown.
TEST(MainWindow, PayersAddedInAFreshFolderAreStoredAsShown) {
  WindowDriver d;
  answerPayerDialog("Antanas Azuolas", "38001010009");
  d.control<QPushButton>("btn_new").click();
  answerPayerDialog("Zigmas Zukas", "302222222");
  d.control<QPushButton>("btn_new").click();
  const QString shown = d.control<QComboBox>("cb_asmuo").currentText();
  EXPECT_EQ(shown, "Zigmas Zukas");
  ASSERT_TRUE(std::filesystem::exists(d.folder / "_nustatymai.ini"));
  d.makeWindow();
  EXPECT_EQ(d.control<QComboBox>("cb_asmuo").currentText(), shown);
  EXPECT_EQ(d.text("lb_kodas"), "302222222");
}

}  // namespace
}  // namespace kvd507::test
