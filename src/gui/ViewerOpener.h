#pragma once

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <vector>

#include "runs/DesktopOpener.h"

class QWidget;

namespace kvd507::gui {

class DeclarationViewer;

// Opens a declaration in the viewer: reads it and shows the window, which deletes itself when
// closed. Nothing when it cannot be read; then, when `tell`, a message box names the file and
// the cause.
DeclarationViewer* openViewer(const std::filesystem::path& declaration, QWidget* parent,
                              bool tell = true);

// The desktop's opener for the written declaration, with the viewer behind it: where no other
// program is registered for .ffdata, the declaration opens in the viewer instead of ending a
// successful run in an error. Folders and the web site go to the desktop as they are. Safe to
// call from a run's thread: the declaration is read there, and only the viewer is made on the
// interface thread.
class ViewerOpener : public QObject, public runs::DesktopOpener {
  Q_OBJECT

 public:
  explicit ViewerOpener(runs::DesktopOpener& desktop) : desktop_(desktop) {}

  bool open(const std::filesystem::path& path) override;
  void launch(const std::filesystem::path& path) override { desktop_.launch(path); }
  // Called on the interface thread with every viewer it opens.
  void setOnViewerOpened(std::function<void(DeclarationViewer*)> hook) {
    onViewerOpened_ = std::move(hook);
  }

  // Closes the viewers opened for a run; those the user opened stay. On the interface thread.
  void closeViewers();

 private:
  runs::DesktopOpener& desktop_;
  std::function<void(DeclarationViewer*)> onViewerOpened_;
  std::vector<QPointer<DeclarationViewer>> viewers_;  // touched on the interface thread only
};

}  // namespace kvd507::gui
