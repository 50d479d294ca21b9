#include "gui/WindowMain.h"

#include <QApplication>
#include <QIcon>
#include <QMessageBox>
#include <string>

#include "errors/Error.h"
#include "gui/ExportWindow.h"
#include "gui/WindowServices.h"

namespace kvd507::gui {
namespace {

// Shows what no handler caught in a message box and keeps the window running.
class GuardedApplication : public QApplication {
 public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      QMessageBox::critical(activeWindow(), QStringLiteral("KVD507"), QString::fromUtf8(e.what()));
      return false;
    }
  }
};

}  // namespace

int runWindow(int argc, char** argv, const runs::ProgramFolder& programFolder) {
  GuardedApplication application(argc, argv);
  // The installed menu entry's name: desktops find the window's icon and entry by it.
  QGuiApplication::setDesktopFileName(QStringLiteral("lt.kvd507.kvd507"));
  QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("lt.kvd507.kvd507")));
  QtWindowServices services;
  std::string problem;
  try {
    runs::prepareProgramFolder(programFolder);
  } catch (...) {
    problem = "Nepavyko paruošti programos aplanko: " + currentError().message();
  }
  runs::XdgOpener opener;
  Tfrm_export_xml window(programFolder.path, services, opener);
  window.show();
  if (!problem.empty()) {
    services.showMessage(&window, WindowServices::MessageKind::Error, problem);
  }
  return application.exec();
}

}  // namespace kvd507::gui
