#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/LargeBlock.h"

struct zip;
struct zip_file;

namespace kvd507::spreadsheet::xlsx {

class ZipEntry;

// The zip container of a workbook. Entries are found by part name without regard to case,
// since writers differ in the case they give names, and every byte inflated from the archive
// is counted against `totalLimit`: a small file must not be able to expand without bound.
class ZipArchive {
 public:
  // Parts whose directory entry says they inflate to no more than `wholePartBytes` are
  // inflated whole, at once, with libdeflate (about twice as fast as zlib); larger ones are
  // inflated piece by piece, so that memory follows the parser rather than the part.
  static constexpr std::uint64_t kWholePartBytes = std::uint64_t{64} << 20;

  // Throws WorkbookError naming the file when it is not a readable zip archive.
  ZipArchive(const std::filesystem::path& file, std::uint64_t totalLimit,
             std::uint64_t wholePartBytes = kWholePartBytes);
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  const std::string& fileName() const { return fileName_; }

  bool contains(std::string_view part) const { return locate(part).has_value(); }

  // Opens a part for reading; no more than `limit` bytes may be inflated from it. Throws
  // WorkbookError when the part is missing, encrypted or cannot be read.
  ZipEntry open(std::string_view part, std::uint64_t limit);

 private:
  friend class ZipEntry;

  std::optional<std::uint64_t> locate(std::string_view part) const;
  void countInflated(std::string_view part, std::size_t bytes);

  std::string fileName_;
  zip* archive_ = nullptr;
  std::uint64_t totalLimit_;
  std::uint64_t wholePartBytes_;
  std::uint64_t inflated_ = 0;
};

// One part being inflated, read front to back in chunks.
class ZipEntry {
 public:
  ZipEntry(ZipEntry&& other) noexcept;
  ZipEntry& operator=(ZipEntry&&) = delete;
  ZipEntry(const ZipEntry&) = delete;
  ZipEntry& operator=(const ZipEntry&) = delete;
  ~ZipEntry();

  const std::string& part() const { return part_; }
  const std::string& fileName() const { return archive_->fileName(); }

  // Reads up to `size` bytes into `buffer`; returns 0 at the end of the part. Throws
  // WorkbookError when the data is damaged or the part inflates beyond its limit.
  std::size_t read(char* buffer, std::size_t size);

  // Whether the part is to be inflated whole (ZipArchive's `wholePartBytes`) and is not yet.
  bool inflatesWhole() const { return whole_.has_value() && !wholeReady_; }
  // Inflates the whole part into memory at once, checking its CRC, so that read() only copies
  // from there; a reader may do it ahead, on another thread. When libdeflate refuses the data,
  // or it is not what the directory says, the part is read again piece by piece through zlib,
  // which then reports what is wrong exactly as for any other part: false.
  bool inflateWhole();

 private:
  friend class ZipArchive;
  // What the directory says of a part that is inflated whole.
  struct WholePart {
    std::uint64_t index;
    std::uint64_t packedSize;
    std::uint64_t size;
    std::uint32_t crc;
  };
  ZipEntry(ZipArchive& archive, zip_file* file, std::string part, std::uint64_t limit,
           std::optional<WholePart> whole);

  bool tryInflateWhole();
  void readInPieces();
  void count(std::size_t bytes);

  ZipArchive* archive_;
  zip_file* file_;
  std::string part_;
  std::uint64_t limit_;
  std::uint64_t inflated_ = 0;

  std::optional<WholePart> whole_;
  // The inflated part once inflateWhole() succeeded, and how much of it was read; the bytes
  // are let go as they are read.
  bool wholeReady_ = false;
  files::LargeBlock wholeBytes_;
  std::uint64_t wholeAt_ = 0;
};

}  // namespace kvd507::spreadsheet::xlsx
