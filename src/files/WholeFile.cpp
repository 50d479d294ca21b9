#include "files/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <random>
#include <string>
#include <utility>

#include "files/IoError.h"
#include "files/RegularFile.h"

namespace kvd507::files {
namespace {

[[noreturn]] void fail(const char* step, int error, const std::filesystem::path& file) {
  throw IoError(step, std::error_code(error, std::generic_category()), file);
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
  void close(const char* step, const std::filesystem::path& file) {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) fail(step, errno, file);
  }

 private:
  int fd_;
};

void writeAll(int fd, std::string_view bytes, const std::filesystem::path& file) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      fail("write the file", errno, file);
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
    if (errno != EEXIST) fail("create a temporary file", errno, file);
  }
  fail("create a temporary file", EEXIST, file);
}

// Best effort: makes the rename itself survive a crash. The new file is in place already, so a
// failure here is not reported as a failed write.
void syncFolder(const std::filesystem::path& folder) {
  const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

std::string readWholeFile(const std::filesystem::path& file, std::size_t maxBytes) {
  RegularFile in(file);
  const auto tooLarge = [&] {
    IoError error("read", FileProblem::kTooLarge, file);
    error.setLimit(maxBytes);
    return error;
  };
  if (in.size() > maxBytes) throw tooLarge();

  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(in.size()));
  std::array<char, 65536> buffer;
  for (;;) {
    const std::size_t count = in.read(buffer.data(), buffer.size());
    if (count == 0) break;
    // The file may have grown since it was measured.
    if (count > maxBytes - bytes.size()) throw tooLarge();
    bytes.append(buffer.data(), count);
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
    fail("write the file", error, file);
  }
  fd_ = fd.release();
}

AtomicFileWriter::~AtomicFileWriter() {
  if (fd_ >= 0) ::close(fd_);
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void AtomicFileWriter::write(std::string_view bytes) {
  writeAll(fd_, bytes, file_);
  written_ += bytes.size();
  // A large file is handed to the disk as it is written, so that the flush in commit() waits
  // for its last few megabytes only, not for all of it at once. Only a hint: commit() flushes
  // and reports as before.
  static constexpr std::uint64_t kWriteBackBytes = std::uint64_t{8} << 20;
  if (written_ - writtenBack_ >= kWriteBackBytes) {
    ::sync_file_range(fd_, static_cast<off_t>(writtenBack_),
                      static_cast<off_t>(written_ - writtenBack_), SYNC_FILE_RANGE_WRITE);
    writtenBack_ = written_;
  }
}

void AtomicFileWriter::commit() {
  if (::fsync(fd_) != 0) fail("write the file", errno, file_);
  Descriptor fd(std::exchange(fd_, -1));
  fd.close("write the file", file_);
  if (::rename(temporary_.c_str(), file_.c_str()) != 0) fail("replace the file", errno, file_);
  temporary_.clear();
  syncFolder(file_.has_parent_path() ? file_.parent_path() : std::filesystem::path("."));
}

bool isReadOnly(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  if ((status.st_mode & 0222) == 0) return true;
  return ::access(file.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

void appendToFile(const std::filesystem::path& file, std::string_view bytes) {
  // Opening a pipe for writing would wait for a reader, or fail for want of one with
  // O_NONBLOCK; what is there is looked at first, so that it is refused for what it is. The
  // open file is looked at again, since the name may have changed hands in between.
  struct stat before {};
  if (::stat(file.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
    throw IoError("open", FileProblem::kNotRegularFile, file);
  }
  Descriptor fd(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
  if (fd.get() < 0) fail("open", errno, file);
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) fail("open", errno, file);
  if (!S_ISREG(status.st_mode)) throw IoError("open", FileProblem::kNotRegularFile, file);
  writeAll(fd.get(), bytes, file);
  fd.close("write the file", file);
}

}  // namespace kvd507::files
