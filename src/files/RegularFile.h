#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace kvd507::files {

// A file opened for reading that is known to be a regular file. Everything the program reads
// goes through here first: a folder, a device or a pipe holds no file of ours, and opening a
// pipe the usual way would wait for ever for a writer. The check is made on the open file
// itself, so the file cannot be swapped for something else between the check and the read.
class RegularFile {
 public:
  // Throws IoError naming the file: step "open" with the system's reason, or step "read"
  // with FileProblem::kNotRegularFile.
  explicit RegularFile(const std::filesystem::path& file);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  int descriptor() const { return fd_; }
  // The size when the file was opened; it may grow or shrink while it is read.
  std::uint64_t size() const { return size_; }

  // Reads up to `count` bytes at the current position, retrying when interrupted; 0 at the
  // end. Throws IoError (step "read").
  std::size_t read(void* buffer, std::size_t count);
  // Reads until `count` bytes are in or the file ends, and returns how many came: the first
  // bytes of a file, which a single read may return only in part.
  std::size_t readUpTo(void* buffer, std::size_t count);

  // Gives up the descriptor to whoever now closes it (a library that took it over).
  void release() { fd_ = -1; }

 private:
  std::filesystem::path file_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

}  // namespace kvd507::files
