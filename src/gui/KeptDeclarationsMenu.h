#pragma once

#include <filesystem>
#include <functional>

class QMenu;

namespace kvd507::gui {

// Fills `menu` anew with one entry per declaration kept in `folder` (formos/ankstesnės), the
// newest first, named as the file is, which calls `open` with it; disables the menu when there
// is none.
void fillKeptMenu(QMenu& menu, const std::filesystem::path& folder,
                  const std::function<void(const std::filesystem::path&)>& open);

}  // namespace kvd507::gui
