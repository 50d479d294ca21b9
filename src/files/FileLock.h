#pragma once

#include <filesystem>

namespace kvd507::files {

// Holds, while it lives, the lock of a file that is read, changed and replaced as a whole, so
// that two programs changing it at once (two windows, a window and the command line) take turns
// instead of one of them losing the other's change. The lock is an flock on a hidden file beside
// it, ".NAME.lock", made when missing and left there: the file itself cannot carry the lock,
// since replacing it makes a new file. Waits while another program holds it.
//
// A lock file that cannot be made or locked (a folder nobody may write to, a file system without
// locks) leaves the file unlocked: the write that follows then fails for the same reason and
// says so about the file itself.
class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& file);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // The lock file that guards `file`.
  static std::filesystem::path lockFileOf(const std::filesystem::path& file);

 private:
  int fd_ = -1;
};

}  // namespace kvd507::files
