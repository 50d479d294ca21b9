#include <gtest/gtest.h>

#include <QLabel>
#include <QTextBrowser>
#include <regex>

#include "gui/AboutDialog.h"
#include "support/TempDir.h"

namespace kvd507::gui {
namespace {

std::string label(const AboutDialog& dialog, const char* name) {
  return dialog.findChild<QLabel*>(name)->text().toStdString();
}

TEST(AboutDialog, TellsTheVersionLicenceAndProgramFolder) {
  const AboutFacts facts = buildFacts("/opt/kvd507/./bin/..");
  EXPECT_TRUE(std::regex_match(facts.version, std::regex(R"(\d+(\.\d+)+)"))) << facts.version;
  AboutDialog dialog(facts);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Apie");
  EXPECT_EQ(label(dialog, "version"), facts.version);
  EXPECT_EQ(label(dialog, "licence"), "MIT");
  EXPECT_EQ(label(dialog, "folder"), "/opt/kvd507/");

  // A folder given as "." is told as the whole path.
  AboutDialog here({"1.0", ".", ""});
  EXPECT_EQ(label(here, "folder"),
            (std::filesystem::current_path() / "").lexically_normal().string());
}

TEST(AboutDialog, ShowsTheReadmeOfTheInstalledPackageOnlyWhereItIs) {
  test::TempDir docs;
  test::writeFile(docs / "README.md", "# kvd507\n\nParengia deklaraciją.\n");
  struct Case {
    std::filesystem::path docFolder;
    bool shown;
  };
  // No folder at all must not find a README in the current folder.
  const std::filesystem::path started = std::filesystem::current_path();
  std::filesystem::current_path(docs.path());
  for (const Case& c : {Case{docs.path(), true}, Case{docs / "missing", false},
                        Case{std::filesystem::path(), false}, Case{".", false}}) {
    AboutDialog dialog({"1.0", docs.path(), c.docFolder});
    const auto* readme = dialog.findChild<QTextBrowser*>("readme");
    ASSERT_EQ(readme != nullptr, c.shown) << c.docFolder;
    if (readme != nullptr) {
      EXPECT_TRUE(readme->toPlainText().contains("Parengia deklaraciją."))
          << readme->toPlainText().toStdString();
    }
  }
  std::filesystem::current_path(started);
}

}  // namespace
}  // namespace kvd507::gui
