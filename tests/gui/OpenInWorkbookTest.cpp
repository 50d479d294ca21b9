// "Atverti darbaknygėje…" of the viewer, driven with a scripted save dialog and desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>

#include "WindowDriver.h"
#include "gui/DeclarationViewer.h"

namespace kvd507::test {
namespace {

namespace fs = std::filesystem;

gui::DeclarationViewer* theOpenViewer() {
  gui::DeclarationViewer* found = nullptr;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* viewer = qobject_cast<gui::DeclarationViewer*>(widget);
        viewer && viewer->isVisible()) {
      EXPECT_EQ(found, nullptr) << "more than one viewer open";
      found = viewer;
    }
  }
  return found;
}

void closeViewers() {
  while (gui::DeclarationViewer* viewer = theOpenViewer()) viewer->close();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void clickOpenInWorkbook() {
  gui::DeclarationViewer* viewer = theOpenViewer();
  ASSERT_NE(viewer, nullptr);
  auto* button = viewer->findChild<QPushButton*>("openInWorkbook");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text().toStdString(), "Atverti darbaknygėje…");
  button->click();
}

class OpenInWorkbook : public ::testing::Test {
 protected:
  void SetUp() override {
    closeViewers();
    d.chooseWorkbook(d.workbook(12, 3));
    d.runWith("btn_kvd507");
    ASSERT_TRUE(fs::exists(d.declaration()));
    written = readFile(d.declaration());
    d.services.messages.clear();
  }
  void TearDown() override { closeViewers(); }

  WindowDriver d;
  std::string written;
};

// View, open in the spreadsheet, (edit,) form again: unchanged, the same declaration.
TEST_F(OpenInWorkbook, WritesOpensAndChoosesTheWorkbookThatGivesTheDeclarationBack) {
  d.window().viewLastDeclaration();
  const fs::path workbook = d.declaration().parent_path() / "KVD507.xlsx";
  d.services.answers.push_back(workbook);  // the dialog's answer: the place it offered
  clickOpenInWorkbook();

  ASSERT_EQ(d.services.suggested, std::vector<fs::path>{workbook});
  EXPECT_THAT(d.services.filters.back(), testing::HasSubstr("*.xlsx"));
  EXPECT_TRUE(d.services.messages.empty()) << testing::PrintToString(d.services.texts());
  ASSERT_TRUE(fs::exists(workbook));
  EXPECT_THAT(d.opener.opened(), testing::Contains(workbook));
  EXPECT_EQ(d.text("lb_dok_pav"), "KVD507.xlsx");
  EXPECT_EQ(d.window().choices().workbook().path, workbook.string());
  EXPECT_TRUE(d.enabled("btn_kvd507"));

  fs::remove(d.declaration());
  d.runWith("btn_kvd507");
  EXPECT_EQ(readFile(d.declaration()), written);
}

TEST_F(OpenInWorkbook, ACancelledDialogWritesAndOpensNothing) {
  d.window().viewLastDeclaration();
  const std::size_t opened = d.opener.opened().size();
  d.services.answers.push_back(std::nullopt);
  clickOpenInWorkbook();
  EXPECT_EQ(namesIn(d.declaration().parent_path()), std::vector<std::string>{"KVD507.ffdata"});
  EXPECT_EQ(d.opener.opened().size(), opened);
  EXPECT_NE(d.text("lb_dok_pav"), "KVD507.xlsx");
}

TEST_F(OpenInWorkbook, ARowTheTemplateCannotHoldIsToldAndNothingIsWritten) {
  std::string text = written;
  const std::string code = "<Field Name=\"L5-3\">05</Field>";
  ASSERT_NE(text.find(code), std::string::npos);
  text.replace(text.find(code), code.size(), "<Field Name=\"L5-3\">5</Field>");
  writeFile(d.declaration(), text);
  d.window().viewLastDeclaration();
  d.services.answers.push_back(d.folder / "kitas");  // the ending is added
  clickOpenInWorkbook();
  ASSERT_EQ(d.services.messages.size(), 1u);
  EXPECT_EQ(d.services.messages[0].kind, gui::WindowServices::MessageKind::Error);
  EXPECT_THAT(d.services.messages[0].text,
              testing::HasSubstr("2 puslapis, 3 eilutė (L priedas, laukas L5-3)"));
  EXPECT_FALSE(fs::exists(d.folder / "kitas.xlsx"));
}

TEST_F(OpenInWorkbook, AWorkbookNoProgramOpensIsStillWrittenAndChosen) {
  d.window().viewLastDeclaration();
  d.opener.answer = false;
  d.services.answers.push_back(d.folder / "pataisymas.XLSX");
  clickOpenInWorkbook();
  ASSERT_EQ(d.services.messages.size(), 1u);
  EXPECT_EQ(d.services.messages[0].kind, gui::WindowServices::MessageKind::Warning);
  EXPECT_THAT(d.services.messages[0].text, testing::HasSubstr("pataisymas.XLSX"));
  EXPECT_TRUE(fs::exists(d.folder / "pataisymas.XLSX"));
  EXPECT_EQ(d.text("lb_dok_pav"), "pataisymas.XLSX");
}

}  // namespace
}  // namespace kvd507::test
