#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, std::string_view bytes);

// The names of what a folder holds, sorted: shows both what was written and what was left over.
std::vector<std::string> namesIn(const std::filesystem::path& folder);

// A file of tests/data.
std::filesystem::path dataFile(std::string_view name);

}  // namespace kvd507::test
