#include "spreadsheet/xlsx/ZipArchive.h"

#include <libdeflate.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "files/RegularFile.h"
#include "spreadsheet/WorkbookError.h"
#include "text/Hex.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

// `systemError`: errno as the failed open left it.
WorkbookError openFailure(const std::string& file, int code, int systemError) {
  const auto error = [&](ErrorKind kind, std::string detail) {
    return WorkbookError(kind, {file}, std::move(detail));
  };
  switch (code) {
    case ZIP_ER_NOZIP:
      return error(ErrorKind::kWorkbookDamaged,
                   "not a zip archive, or a truncated one (its central directory is missing)");
    case ZIP_ER_INCONS:
      return error(ErrorKind::kWorkbookDamaged,
                   "the zip archive is damaged (its directory is inconsistent)");
    case ZIP_ER_OPEN:
    case ZIP_ER_NOENT:
    case ZIP_ER_READ:
      // The archive takes a descriptor of its own, which a process at its limit cannot get.
      if (systemError == EMFILE || systemError == ENFILE) {
        return error(ErrorKind::kTooManyOpenFiles, "the file cannot be read: too many open files");
      }
      return error(ErrorKind::kFileSystem, "the file cannot be read");
    case ZIP_ER_MEMORY:
      return error(ErrorKind::kOutOfMemory, "not enough memory to open the zip archive");
    default: {
      zip_error_t zipError;
      zip_error_init_with_code(&zipError, code);
      std::string text =
          std::string("the zip archive cannot be opened: ") + zip_error_strerror(&zipError);
      zip_error_fini(&zipError);
      return error(ErrorKind::kWorkbookDamaged, std::move(text));
    }
  }
}

// Relationship targets are URIs and may escape characters ("sheet%201.xml") that the zip
// directory stores plainly.
std::optional<std::string> percentDecoded(std::string_view text) {
  if (text.find('%') == std::string_view::npos) return std::nullopt;
  return text::percentDecoded(text);
}

std::string mebibytes(std::uint64_t bytes) {
  return std::to_string(bytes >> 20) + " MiB";
}

// DEFLATE inflates at most 1032 bytes from one; a directory that says more is not to be
// trusted, and neither is one whose packed size is far beyond what any compressor writes.
bool plausibleSizes(std::uint64_t packed, std::uint64_t size) {
  return packed > 0 && size > 0 && size / 1032 <= packed && packed <= size + size / 4 + 1024;
}

WorkbookError unreadablePart(const std::string& file, std::string_view part, zip* archive) {
  return {ErrorKind::kWorkbookDamaged,
          {file},
          "the workbook part " + std::string(part) + " cannot be read: " + zip_strerror(archive)};
}

}  // namespace

ZipArchive::ZipArchive(const std::filesystem::path& file, std::uint64_t totalLimit,
                       std::uint64_t wholePartBytes)
    : fileName_(file.string()), totalLimit_(totalLimit), wholePartBytes_(wholePartBytes) {
  files::RegularFile regular = [&] {
    try {
      return files::RegularFile(file);
    } catch (const Error& e) {
      throw WorkbookError(e);
    }
  }();
  int code = 0;
  errno = 0;
  archive_ = zip_fdopen(regular.descriptor(), ZIP_RDONLY, &code);
  if (archive_ == nullptr) throw openFailure(fileName_, code, errno);
  regular.release();  // the archive closed it, keeping a copy of its own
}

ZipArchive::~ZipArchive() {
  zip_discard(archive_);
}

std::optional<std::uint64_t> ZipArchive::locate(std::string_view part) const {
  while (!part.empty() && part.front() == '/') part.remove_prefix(1);
  if (part.empty()) return std::nullopt;
  const std::string name(part);
  zip_int64_t index = zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE);
  if (index < 0) {
    if (auto decoded = percentDecoded(name)) {
      index = zip_name_locate(archive_, decoded->c_str(), ZIP_FL_NOCASE);
    }
  }
  if (index < 0) return std::nullopt;
  return static_cast<std::uint64_t>(index);
}

ZipEntry ZipArchive::open(std::string_view part, std::uint64_t limit) {
  const auto index = locate(part);
  if (!index) {
    throw WorkbookError(ErrorKind::kWorkbookPartMissing, {fileName_},
                        "the workbook part " + std::string(part) + " is missing");
  }
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat_index(archive_, *index, 0, &stat) == 0 &&
      (stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
    throw WorkbookError(ErrorKind::kWorkbookEncrypted, {fileName_},
                        "the workbook part " + std::string(part) + " is encrypted");
  }
  // A part the directory describes plainly, within every bound, is read packed and inflated
  // whole; anything else, as well as anything that goes wrong with that, goes through zlib.
  std::optional<ZipEntry::WholePart> whole;
  const zip_uint64_t needed =
      ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC;
  if ((stat.valid & needed) == needed && stat.comp_method == ZIP_CM_DEFLATE &&
      plausibleSizes(stat.comp_size, stat.size) && stat.size <= wholePartBytes_ &&
      stat.size <= limit && stat.size <= totalLimit_ - std::min(inflated_, totalLimit_)) {
    whole = ZipEntry::WholePart{*index, stat.comp_size, stat.size, stat.crc};
  }
  zip_file_t* file = nullptr;
  if (whole) {
    file = zip_fopen_index(archive_, *index, ZIP_FL_COMPRESSED);
    if (file == nullptr) whole.reset();
  }
  if (file == nullptr) file = zip_fopen_index(archive_, *index, 0);
  if (file == nullptr) throw unreadablePart(fileName_, part, archive_);
  return {*this, file, std::string(part), limit, whole};
}

void ZipArchive::countInflated(std::string_view part, std::size_t bytes) {
  inflated_ += bytes;
  if (inflated_ > totalLimit_) {
    throw WorkbookError(ErrorKind::kWorkbookExpands, {fileName_},
                        "reading the workbook part " + std::string(part) +
                            " inflates the archive beyond " + mebibytes(totalLimit_) +
                            " in all; refusing a file that expands without bound",
                        totalLimit_);
  }
}

ZipEntry::ZipEntry(ZipArchive& archive, zip_file* file, std::string part, std::uint64_t limit,
                   std::optional<WholePart> whole)
    : archive_(&archive), file_(file), part_(std::move(part)), limit_(limit), whole_(whole) {}

ZipEntry::ZipEntry(ZipEntry&& other) noexcept
    : archive_(other.archive_),
      file_(std::exchange(other.file_, nullptr)),
      part_(std::move(other.part_)),
      limit_(other.limit_),
      inflated_(other.inflated_),
      whole_(std::exchange(other.whole_, std::nullopt)),
      wholeReady_(other.wholeReady_),
      wholeBytes_(std::move(other.wholeBytes_)),
      wholeAt_(other.wholeAt_) {}

ZipEntry::~ZipEntry() {
  if (file_ != nullptr) zip_fclose(file_);
}

bool ZipEntry::inflateWhole() {
  if (!inflatesWhole()) return wholeReady_;
  if (tryInflateWhole()) return true;
  readInPieces();
  return false;
}

bool ZipEntry::tryInflateWhole() {
  const WholePart& whole = *whole_;
  const files::LargeBlock packed(whole.packedSize);
  std::uint64_t got = 0;
  while (got < whole.packedSize) {
    const zip_int64_t piece = zip_fread(file_, packed.data() + got, whole.packedSize - got);
    if (piece <= 0) return false;
    got += static_cast<std::uint64_t>(piece);
  }
  files::LargeBlock bytes(whole.size);
  libdeflate_decompressor* inflater = libdeflate_alloc_decompressor();
  if (inflater == nullptr) return false;
  // Without a place for the size it came to, libdeflate succeeds only when the data inflates
  // to exactly the size the directory gives.
  const libdeflate_result result = libdeflate_deflate_decompress(
      inflater, packed.data(), whole.packedSize, bytes.data(), whole.size, nullptr);
  libdeflate_free_decompressor(inflater);
  if (result != LIBDEFLATE_SUCCESS) return false;
  if (libdeflate_crc32(0, bytes.data(), whole.size) != whole.crc) return false;
  wholeBytes_ = std::move(bytes);
  wholeReady_ = true;
  return true;
}

void ZipEntry::readInPieces() {
  const std::uint64_t index = whole_->index;
  whole_.reset();
  zip_fclose(std::exchange(file_, nullptr));
  file_ = zip_fopen_index(archive_->archive_, index, 0);
  if (file_ == nullptr) throw unreadablePart(fileName(), part_, archive_->archive_);
}

std::size_t ZipEntry::read(char* buffer, std::size_t size) {
  if (inflatesWhole()) inflateWhole();
  std::size_t bytes = 0;
  if (wholeReady_) {
    bytes = static_cast<std::size_t>(std::min<std::uint64_t>(size, whole_->size - wholeAt_));
    if (bytes > 0) std::memcpy(buffer, wholeBytes_.data() + wholeAt_, bytes);
    wholeAt_ += bytes;
    // What was read is let go as it goes, so that the part and the rows made of it are not
    // held at once.
    wholeBytes_.releaseFront(static_cast<std::size_t>(wholeAt_));
    if (wholeAt_ == whole_->size) wholeBytes_ = files::LargeBlock();
  } else {
    const zip_int64_t got = zip_fread(file_, buffer, size);
    if (got < 0) {
      throw WorkbookError(
          ErrorKind::kWorkbookDamaged, {fileName()},
          "the workbook part " + part_ + " is damaged: " + zip_file_strerror(file_));
    }
    bytes = static_cast<std::size_t>(got);
  }
  count(bytes);
  return bytes;
}

void ZipEntry::count(std::size_t bytes) {
  inflated_ += bytes;
  if (inflated_ > limit_) {
    throw WorkbookError(ErrorKind::kWorkbookExpands, {fileName()},
                        "the workbook part " + part_ + " inflates beyond " + mebibytes(limit_) +
                            "; refusing a file that expands without bound",
                        limit_);
  }
  archive_->countInflated(part_, bytes);
}

}  // namespace kvd507::spreadsheet::xlsx
