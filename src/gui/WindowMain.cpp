#include "gui/WindowMain.h"

#include <QApplication>
#include <QMessageBox>

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

int runWindow(int argc, char** argv, const std::filesystem::path& programFolder) {
  GuardedApplication application(argc, argv);
  QtWindowServices services;
  runs::XdgOpener opener;
  Tfrm_export_xml window(programFolder, services, opener);
  window.show();
  return application.exec();
}

}  // namespace kvd507::gui
