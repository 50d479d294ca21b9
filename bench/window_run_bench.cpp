// One generation run through the real window, without a display:
//   window_run_bench PROGRAM_FOLDER WORKBOOK
// Chooses the workbook, presses "Formuoti formą" and quits when the run has ended, so that the
// whole process can be timed against `kvd507 convert` on the same workbook.
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <iostream>

#include "gui/MainWindow.h"
#include "gui/WindowServices.h"

namespace {

class FixedAnswers : public kvd507::gui::WindowServices {
 public:
  explicit FixedAnswers(std::filesystem::path workbook) : workbook_(std::move(workbook)) {}
  std::optional<std::filesystem::path> chooseFile(QWidget*, const std::string&) override {
    return workbook_;
  }
  void showMessage(QWidget*, MessageKind, const std::string& text) override {
    std::cerr << text << '\n';
    failed = true;
  }
  bool failed = false;

 private:
  std::filesystem::path workbook_;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  if (argc != 3) {
    std::cerr << "usage: window_run_bench PROGRAM_FOLDER WORKBOOK\n";
    return 2;
  }
  FixedAnswers services(argv[2]);
  kvd507::runs::NoOpener opener;
  kvd507::gui::MainWindow window(argv[1], services, opener);
  window.show();
  QElapsedTimer clock;
  QObject::connect(&window, &kvd507::gui::MainWindow::runEnded, [&] {
    std::cerr << "run: " << clock.elapsed() << " ms\n";
    application.quit();
  });
  QTimer::singleShot(0, [&] {
    window.findChild<QPushButton*>("btn_open")->click();
    clock.start();
    window.findChild<QPushButton*>("btn_kvd507")->click();
  });
  application.exec();
  return services.failed ? 1 : 0;
}
