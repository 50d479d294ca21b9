#pragma once

#include <filesystem>
#include <functional>
#include <vector>

class QMenu;

namespace kvd507::gui {

// The declarations kept in `folder` (formos/ankstesnės) when newer ones replaced them, the newest
// first; none when there is no such folder.
std::vector<std::filesystem::path> keptDeclarations(const std::filesystem::path& folder);

// Fills `menu` anew with one entry per kept declaration, named as the file is, which calls
// `open` with it; disables the menu when there is none.
void fillKeptMenu(QMenu& menu, const std::filesystem::path& folder,
                  const std::function<void(const std::filesystem::path&)>& open);

}  // namespace kvd507::gui
