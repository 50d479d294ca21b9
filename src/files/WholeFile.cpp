#include "files/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "files/IoError.h"

namespace kvd507::files {
namespace {

[[noreturn]] void fail(const char* step, int error) {
  throw IoError(step, std::error_code(error, std::generic_category()));
}

// Owns an open file descriptor; a negative one stands for none.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

  // Closing can report a failed write-back, so it is checked where the data matters.
  void close(const char* step) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(step, errno);
  }

 private:
  int fd_;
};

void writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("write the file", errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// A hidden file beside the target, created with the mode any new file gets, so that the umask
// decides the permissions as it would for a file written in place. O_EXCL keeps it from
// taking over anything already there.
Descriptor createTemporary(const std::filesystem::path& file, std::filesystem::path& temporary) {
  static constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device seed;
  std::mt19937 random(seed());
  std::uniform_int_distribution<std::size_t> pick(0, kLetters.size() - 1);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = "." + file.filename().string() + ".";
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    temporary = file.parent_path() / name;
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return Descriptor(fd);
    if (errno != EEXIST) fail("create a temporary file", errno);
  }
  fail("create a temporary file", EEXIST);
}

// Best effort: makes the rename itself survive a crash. The new file is in place already, so a
// failure here is not reported as a failed write.
void syncFolder(const std::filesystem::path& folder) {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

std::string readWholeFile(const std::filesystem::path& file, std::size_t maxBytes) {
  // Without O_NONBLOCK opening a pipe waits for a writer, before the check below could refuse
  // it. Reads from a regular file ignore the flag.
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) fail("open", errno);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) fail("read", errno);
  if (!S_ISREG(status.st_mode)) throw IoError("read", FileProblem::kNotRegularFile);
  if (static_cast<std::uintmax_t>(status.st_size) > maxBytes) {
    throw IoError("read", FileProblem::kTooLarge);
  }

  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(status.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
    if (count < 0) {
      if (errno == EINTR) continue;
      fail("read", errno);
    }
    if (count == 0) break;
    // The file may have grown since it was measured.
    if (static_cast<std::size_t>(count) > maxBytes - bytes.size()) {
      throw IoError("read", FileProblem::kTooLarge);
    }
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
  return bytes;
}

void replaceFileAtomically(const std::filesystem::path& file, std::string_view bytes,
                           Permissions permissions) {
  AtomicFileWriter writer(file, permissions);
  writer.write(bytes);
  writer.commit();
}

AtomicFileWriter::AtomicFileWriter(const std::filesystem::path& file, Permissions permissions)
    : file_(file) {
  const std::filesystem::path folder =
      file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  struct stat existing {};
  const bool keepMode =
      permissions == Permissions::kKeepExisting && ::stat(file.c_str(), &existing) == 0;
  Descriptor fd = createTemporary(folder / file.filename(), temporary_);
  if (keepMode && ::fchmod(fd.get(), existing.st_mode & 07777) != 0) {
    const int error = errno;
    ::unlink(temporary_.c_str());
    fail("write the file", error);
  }
  fd_ = fd.release();
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFileWriter::write(std::string_view bytes) {
  writeAll(fd_, bytes);
}

void AtomicFileWriter::commit() {
  if (::fsync(fd_) != 0) fail("write the file", errno);
  Descriptor fd(std::exchange(fd_, -1));
  fd.close("write the file");
  if (::rename(temporary_.c_str(), file_.c_str()) != 0) fail("replace the file", errno);
  temporary_.clear();
  syncFolder(file_.has_parent_path() ? file_.parent_path() : std::filesystem::path("."));
}

void appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  Descriptor fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (fd.get() < 0) fail("open", errno);
  writeAll(fd.get(), bytes);
  fd.close("write the file");
}

}  // namespace kvd507::files
