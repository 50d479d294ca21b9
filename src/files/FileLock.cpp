#include "files/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace kvd507::files {

std::filesystem::path FileLock::lockFileOf(const std::filesystem::path& file) {
  return file.parent_path() / ("." + file.filename().string() + ".lock");
}

FileLock::FileLock(const std::filesystem::path& file) {
  const std::filesystem::path lock = lockFileOf(file);
  // O_NONBLOCK: a pipe put in its place is not waited on; the lock then simply does not hold.
  fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd_ < 0) return;
  int locked = -1;
  do {
    locked = ::flock(fd_, LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

FileLock::~FileLock() {
  // Closing the last descriptor of the lock file releases the lock.
  if (fd_ >= 0) ::close(fd_);
}

}  // namespace kvd507::files
