#pragma once

#include <filesystem>

namespace kvd507::files {

// Makes sure `folder` exists as a folder, creating that one level when it is missing (its parent
// must exist). Throws IoError with the step "create the folder" when it cannot be made, or when
// something other than a folder stands in its place.
void createFolderIfMissing(const std::filesystem::path& folder);

}  // namespace kvd507::files
