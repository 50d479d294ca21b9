#include "payers/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace kvd507::payers {
namespace {

[[noreturn]] void throwErrno(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  // Closing can report a failed write-back, so it is checked where the data matters.
  void close() {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throwErrno("close");
  }

 private:
  int fd_;
};

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throwErrno("write");
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// What a new file gets: read and write for everyone the umask allows, like any editor's file.
mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string readFileBytes(const std::filesystem::path& file) {
  Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throwErrno("open");
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      throwErrno("read");
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

void replaceFileBytes(const std::filesystem::path& file, std::string_view bytes) {
  struct stat existing {};
  const mode_t mode =
      ::stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : newFileMode();

  std::string temporary = file.string() + ".XXXXXX";
  Descriptor fd(::mkstemp(temporary.data()));
  if (fd.get() < 0) throwErrno("create");
  try {
    if (::fchmod(fd.get(), mode) != 0) throwErrno("chmod");
    writeAll(fd.get(), bytes);
    if (::fsync(fd.get()) != 0) throwErrno("fsync");
    fd.close();
    if (::rename(temporary.c_str(), file.c_str()) != 0) throwErrno("rename");
  } catch (...) {
    ::unlink(temporary.c_str());
    throw;
  }
}

void appendFileBytes(const std::filesystem::path& file, std::string_view bytes) {
  Descriptor fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (fd.get() < 0) throwErrno("open");
  writeAll(fd.get(), bytes);
  fd.close();
}

}  // namespace kvd507::payers
