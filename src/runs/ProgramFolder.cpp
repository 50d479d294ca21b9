#include "runs/ProgramFolder.h"

namespace kvd507::runs {

std::filesystem::path executableFolder() {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path();
  return self.parent_path();
}

std::filesystem::path declarationFile(const std::filesystem::path& programFolder) {
  return programFolder / "formos" / "KVD507.ffdata";
}

}  // namespace kvd507::runs
