// Renders "Formos peržiūra" (as a run shows it before writing) and the declaration viewer into
// PNG files, for the README. Usage:
//   kvd507_view_screenshots PROGRAM_FOLDER WORKBOOK DECLARATION REVIEW.png VIEWER.png [APPEND_TO]
// With APPEND_TO the review is that of an append run onto that declaration.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <iostream>

#include "gui/DeclarationViewer.h"
#include "gui/MainWindow.h"
#include "gui/ReviewDialog.h"
#include "gui/WindowServices.h"

namespace {

bool save(QWidget& widget, const char* file) {
  widget.show();
  if (!QTest::qWaitForWindowExposed(&widget)) std::cerr << "not shown: " << file << '\n';
  QTest::qWait(100);
  if (widget.grab().save(QString::fromLocal8Bit(file))) return true;
  std::cerr << "cannot write " << file << '\n';
  return false;
}

// Answers the file dialogs with the workbook, then the declaration to append to; pictures the
// review and writes nothing.
class Pictures : public kvd507::gui::WindowServices {
 public:
  Pictures(std::filesystem::path workbook, std::filesystem::path appendTo, const char* review)
      : workbook_(std::move(workbook)), appendTo_(std::move(appendTo)), review_(review) {}
  std::optional<std::filesystem::path> chooseFile(QWidget*, const std::string&) override {
    return chosen_++ == 0 ? workbook_ : appendTo_;
  }
  void showMessage(QWidget*, MessageKind, const std::string& text) override {
    std::cerr << text << '\n';
  }
  bool reviewDeclaration(QWidget* parent, const kvd507::runs::WriteReview& review,
                         char separator) override {
    kvd507::gui::ReviewDialog dialog(review, separator, parent);
    saved = save(dialog, review_);
    return false;
  }
  bool saved = false;

 private:
  std::filesystem::path workbook_;
  std::filesystem::path appendTo_;
  const char* review_;
  int chosen_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 6 && argc != 7) {
    std::cerr << "usage: kvd507_view_screenshots PROGRAM_FOLDER WORKBOOK DECLARATION REVIEW.png "
                 "VIEWER.png [APPEND_TO]\n";
    return 2;
  }
  const bool append = argc == 7;
  Pictures services(argv[2], append ? argv[6] : "", argv[4]);
  kvd507::runs::NoOpener opener;
  kvd507::gui::MainWindow window(argv[1], services, opener);
  window.findChild<QPushButton*>("btn_open")->click();
  if (append) {
    window.appendToDeclaration();
  } else {
    window.makeDeclaration();
  }
  if (!QTest::qWaitFor([&window] { return !window.runInProgress(); }, 20000) || !services.saved) {
    std::cerr << "the run did not show its review\n";
    return 1;
  }

  kvd507::gui::DeclarationViewer viewer(kvd507::runs::readDeclarationContent(argv[3]),
                                        kvd507::runs::kFormDecimalSeparator);
  return save(viewer, argv[5]) ? 0 : 1;
}
