#include "gui/ViewerOpener.h"

#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <exception>
#include <optional>
#include <thread>

#include "errors/Error.h"
#include "errors/Headlines.h"
#include "gui/DeclarationViewer.h"
#include "runs/DeclarationContent.h"

namespace kvd507::gui {
namespace {

// Reads the declaration on a thread of its own while the window stays responsive and shows
// that it is reading: a declaration of a million rows takes a few seconds.
runs::DeclarationContent readAside(const std::filesystem::path& declaration, QWidget* parent) {
  std::optional<runs::DeclarationContent> content;
  std::exception_ptr failure;
  QEventLoop loop;
  std::thread reader([&] {
    try {
      content = runs::readDeclarationContent(declaration);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  QProgressDialog progress(
      QString::fromStdString("Skaitoma forma " + declaration.filename().string() + "…"), QString(),
      0, 0, parent);
  progress.setWindowTitle(QStringLiteral("KVD507"));
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(400);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
  reader.join();
  if (failure) std::rethrow_exception(failure);
  return std::move(*content);
}

}  // namespace

DeclarationViewer* openViewer(const std::filesystem::path& declaration, QWidget* parent,
                              bool tell) {
  try {
    auto* viewer =
        new DeclarationViewer(readAside(declaration, parent), runs::kFormDecimalSeparator, parent);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
    return viewer;
  } catch (...) {
    if (!tell) return nullptr;
    const Error error = currentError();
    QMessageBox box(
        QMessageBox::Critical, QStringLiteral("KVD507"),
        QString::fromStdString(headline::cannotReadDeclaration(declaration.filename().string()) +
                               ": " + error.cause(declaration.string())),
        QMessageBox::Ok, parent);
    box.exec();
    return nullptr;
  }
}

bool ViewerOpener::open(const std::filesystem::path& path) {
  if (desktop_.open(path)) return true;
  // When not even the viewer can read it, the run tells so with its own message.
  std::optional<runs::DeclarationContent> content;
  try {
    content = runs::readDeclarationContent(path);
  } catch (...) {
    return false;
  }
  auto show = [this, &content] {
    auto* viewer = new DeclarationViewer(std::move(*content), runs::kFormDecimalSeparator);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->show();
    viewers_.emplace_back(viewer);
    if (onViewerOpened_) onViewerOpened_(viewer);
  };
  if (QThread::currentThread() == thread()) {
    show();
  } else {
    QMetaObject::invokeMethod(this, show, Qt::BlockingQueuedConnection);
  }
  return true;
}

void ViewerOpener::closeViewers() {
  for (const QPointer<DeclarationViewer>& viewer : viewers_) {
    if (viewer) viewer->close();
  }
  viewers_.clear();
}

}  // namespace kvd507::gui
