#include "gui/ViewerOpener.h"

#include <QMessageBox>
#include <QThread>

#include "errors/Error.h"
#include "gui/DeclarationViewer.h"
#include "runs/DeclarationContent.h"

namespace kvd507::gui {

DeclarationViewer* openViewer(const std::filesystem::path& declaration, QWidget* parent,
                              bool tell) {
  try {
    auto* viewer = new DeclarationViewer(runs::readDeclarationContent(declaration),
                                         runs::kFormDecimalSeparator, parent);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
    return viewer;
  } catch (...) {
    if (!tell) return nullptr;
    const Error error = currentError();
    QMessageBox box(
        QMessageBox::Critical, QStringLiteral("KVD507"),
        QString::fromStdString("Nepavyko perskaityti formos " + declaration.filename().string() +
                               ": " + error.cause(declaration.string())),
        QMessageBox::Ok, parent);
    box.exec();
    return nullptr;
  }
}

bool ViewerOpener::open(const std::filesystem::path& path) {
  if (desktop_.open(path)) return true;
  bool opened = false;
  // When not even the viewer can read it, the run tells so with its own message.
  auto show = [this, &path, &opened] {
    DeclarationViewer* viewer = openViewer(path, nullptr, false);
    opened = viewer != nullptr;
    if (viewer != nullptr && onViewerOpened_) onViewerOpened_(viewer);
  };
  if (QThread::currentThread() == thread()) {
    show();
  } else {
    QMetaObject::invokeMethod(this, show, Qt::BlockingQueuedConnection);
  }
  return opened;
}

}  // namespace kvd507::gui
