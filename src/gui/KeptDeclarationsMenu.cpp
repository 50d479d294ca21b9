#include "gui/KeptDeclarationsMenu.h"

#include <QMenu>

#include "runs/KeptDeclarations.h"

namespace kvd507::gui {

void fillKeptMenu(QMenu& menu, const std::filesystem::path& folder,
                  const std::function<void(const std::filesystem::path&)>& open) {
  menu.clear();
  for (const std::filesystem::path& file : runs::keptDeclarations(folder)) {
    QAction* action = menu.addAction(QString::fromStdString(file.stem().string()));
    QObject::connect(action, &QAction::triggered, &menu, [open, file] { open(file); });
  }
  menu.setEnabled(!menu.actions().isEmpty());
}

}  // namespace kvd507::gui
