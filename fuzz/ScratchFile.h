#pragma once

// A file of the fuzz target's own in the temporary folder, for readers that take a path. One per
// process, so that fuzzing jobs side by side do not share it; removed when the target exits.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

namespace kvd507::fuzz {

class ScratchFile {
 public:
  explicit ScratchFile(std::string_view suffix) {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvd507-fuzz-XXXXXX").string() +
                          std::string(suffix);
    const int descriptor = ::mkstemps(pattern.data(), static_cast<int>(suffix.size()));
    if (descriptor < 0) std::abort();
    ::close(descriptor);
    path_ = pattern;
  }
  ~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::filesystem::path& path() const { return path_; }

  void write(std::string_view bytes) const {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::abort();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace kvd507::fuzz
