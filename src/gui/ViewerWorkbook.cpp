// The viewer's "Atverti darbaknygėje…", apart from the viewer's own drawing.
#include "gui/DeclarationViewer.h"
#include "gui/OpenInWorkbook.h"
#include "gui/WindowServices.h"
#include "runs/DesktopOpener.h"

namespace kvd507::gui {

void DeclarationViewer::openInWorkbook() {
  // A viewer opened on its own (`kvd507 view`) asks and opens through the desktop.
  static QtWindowServices desktopServices;
  static runs::XdgOpener desktopOpener;
  WindowServices& services = workbookServices_ ? *workbookServices_ : desktopServices;
  runs::DesktopOpener& opener = workbookOpener_ ? *workbookOpener_ : desktopOpener;
  if (const auto workbook = gui::openInWorkbook(this, content_.file, services, opener)) {
    emit workbookOpened(QString::fromStdString(workbook->string()));
  }
}

}  // namespace kvd507::gui
