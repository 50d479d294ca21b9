// Renders the main window as a person sees it after choosing a workbook, into a PNG file, for
// the README. Usage: kvd507_window_screenshot PROGRAM_FOLDER WORKBOOK OUTPUT.png
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <iostream>

#include "gui/MainWindow.h"
#include "gui/WindowServices.h"

namespace {

// Answers the file dialog with the given workbook; shows no message.
class FixedAnswers : public kvd507::gui::WindowServices {
 public:
  explicit FixedAnswers(std::filesystem::path workbook) : workbook_(std::move(workbook)) {}
  std::optional<std::filesystem::path> chooseFile(QWidget*, const std::string&) override {
    return workbook_;
  }
  void showMessage(QWidget*, MessageKind, const std::string& text) override {
    std::cerr << text << '\n';
  }

 private:
  std::filesystem::path workbook_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4) {
    std::cerr << "usage: kvd507_window_screenshot PROGRAM_FOLDER WORKBOOK OUTPUT.png\n";
    return 2;
  }
  FixedAnswers services(argv[2]);
  kvd507::runs::NoOpener opener;
  kvd507::gui::MainWindow window(argv[1], services, opener);
  window.show();
  window.findChild<QPushButton*>("btn_open")->click();
  if (!QTest::qWaitForWindowExposed(&window)) std::cerr << "the window was not shown\n";
  // The picture is taken in a temporary folder; the status line shows the folder an installed
  // program uses instead, as a reader of the README would see it.
  if (auto* folder = window.findChild<QLabel*>("lb_aplankas")) {
    folder->setText(QStringLiteral("Programos aplankas: /home/vardenis/.local/share/kvd507"));
  }
  QTest::qWait(100);
  if (!window.grab().save(QString::fromLocal8Bit(argv[3]))) {
    std::cerr << "cannot write " << argv[3] << '\n';
    return 1;
  }
  return 0;
}
