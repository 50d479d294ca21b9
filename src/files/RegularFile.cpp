#include "files/RegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/IoError.h"

namespace kvd507::files {

RegularFile::RegularFile(const std::filesystem::path& file) : file_(file) {
  // Without O_NONBLOCK opening a pipe waits for a writer, before the check below could refuse
  // it. Reads from a regular file ignore the flag; it is cleared all the same, since the
  // descriptor may be handed on to a library.
  fd_ = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) throw IoError("open", std::error_code(errno, std::generic_category()), file_);
  struct stat status {};
  if (::fstat(fd_, &status) != 0) {
    const int error = errno;
    ::close(fd_);
    throw IoError("read", std::error_code(error, std::generic_category()), file_);
  }
  if (!S_ISREG(status.st_mode)) {
    ::close(fd_);
    throw IoError("read", FileProblem::kNotRegularFile, file_);
  }
  const int flags = ::fcntl(fd_, F_GETFL);
  if (flags >= 0) ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
  size_ = static_cast<std::uint64_t>(status.st_size);
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t RegularFile::read(void* buffer, std::size_t count) {
  for (;;) {
    const ssize_t got = ::read(fd_, buffer, count);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno != EINTR)
      throw IoError("read", std::error_code(errno, std::generic_category()), file_);
  }
}

std::size_t RegularFile::readUpTo(void* buffer, std::size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t got = 0;
  while (got < count) {
    const std::size_t more = read(bytes + got, count - got);
    if (more == 0) break;
    got += more;
  }
  return got;
}

}  // namespace kvd507::files
