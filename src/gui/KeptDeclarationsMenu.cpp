#include "gui/KeptDeclarationsMenu.h"

#include <QMenu>
#include <algorithm>
#include <system_error>
#include <utility>

namespace kvd507::gui {

std::vector<std::filesystem::path> keptDeclarations(const std::filesystem::path& folder) {
  std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> found;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->path().extension() != ".ffdata" || !entry->is_regular_file(error)) continue;
    // Kept whole, with the time the declaration was written, so that the time tells the order
    // whatever the payer and year in the name.
    found.emplace_back(entry->last_write_time(error), entry->path());
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second > b.second;
  });
  std::vector<std::filesystem::path> files;
  files.reserve(found.size());
  for (auto& [time, file] : found) files.push_back(std::move(file));
  return files;
}

void fillKeptMenu(QMenu& menu, const std::filesystem::path& folder,
                  const std::function<void(const std::filesystem::path&)>& open) {
  menu.clear();
  for (const std::filesystem::path& file : keptDeclarations(folder)) {
    QAction* action = menu.addAction(QString::fromStdString(file.stem().string()));
    QObject::connect(action, &QAction::triggered, &menu, [open, file] { open(file); });
  }
  menu.setEnabled(!menu.actions().isEmpty());
}

}  // namespace kvd507::gui
