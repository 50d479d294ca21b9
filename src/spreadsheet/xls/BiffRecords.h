#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::spreadsheet::xls {

namespace record {
inline constexpr std::uint16_t kFormula = 0x0006;
inline constexpr std::uint16_t kEof = 0x000A;
inline constexpr std::uint16_t kDateMode = 0x0022;
inline constexpr std::uint16_t kFilePass = 0x002F;
inline constexpr std::uint16_t kContinue = 0x003C;
inline constexpr std::uint16_t kBoundSheet = 0x0085;
inline constexpr std::uint16_t kMulRk = 0x00BD;
inline constexpr std::uint16_t kMulBlank = 0x00BE;
inline constexpr std::uint16_t kRString = 0x00D6;
inline constexpr std::uint16_t kXf = 0x00E0;
inline constexpr std::uint16_t kSst = 0x00FC;
inline constexpr std::uint16_t kLabelSst = 0x00FD;
inline constexpr std::uint16_t kBlank = 0x0201;
inline constexpr std::uint16_t kNumber = 0x0203;
inline constexpr std::uint16_t kLabel = 0x0204;
inline constexpr std::uint16_t kBoolErr = 0x0205;
inline constexpr std::uint16_t kString = 0x0207;
inline constexpr std::uint16_t kArray = 0x0221;
inline constexpr std::uint16_t kTable = 0x0236;
inline constexpr std::uint16_t kRk = 0x027E;
inline constexpr std::uint16_t kFormat = 0x041E;
inline constexpr std::uint16_t kShrFmla = 0x04BC;
inline constexpr std::uint16_t kBof = 0x0809;
}  // namespace record

// One record with the CONTINUE records that follow it. Long data (the shared strings above
// all) is split over such records; `parts` holds the bodies in order, the first one the
// record's own.
struct BiffRecord {
  std::uint16_t type = 0;
  std::size_t offset = 0;  // of the record's header in the stream
  std::vector<std::string_view> parts;
};

// Walks the records of a BIFF stream from a given offset. Every length is checked against
// the stream, so a damaged stream ends in BiffError rather than a read past its end.
class BiffRecordReader {
 public:
  BiffRecordReader(std::string_view stream, std::size_t offset);

  // Fills `out` with the next record and returns true; false at the end of the stream.
  bool next(BiffRecord& out);

 private:
  static constexpr std::size_t kHeaderSize = 4;

  // Every record passes through here, twice (once more to look for a CONTINUE after it), so the
  // whole header in the stream takes the inline path.
  bool header(std::uint16_t& type, std::size_t& length) const {
    const std::size_t left = stream_.size() - position_;
    if (left >= kHeaderSize) [[likely]] {
      const auto* at = reinterpret_cast<const unsigned char*>(stream_.data() + position_);
      type = static_cast<std::uint16_t>(at[0] | at[1] << 8);
      length = static_cast<std::size_t>(at[2] | at[3] << 8);
      if (left - kHeaderSize >= length) [[likely]]
        return true;
    }
    return checkedHeaderEnd();
  }
  // The stream's end, or a header or record cut off by it: false for the first, BiffError for
  // the others.
  bool checkedHeaderEnd() const;
  std::string_view body(std::size_t length) const {
    return {stream_.data() + position_ + kHeaderSize, length};
  }

  std::string_view stream_;
  std::size_t position_;
};

// Reads the fields of one record front to back. Plain reads run on over the boundary
// between parts; string characters do not, since each continuing part starts with a byte
// that gives the width of the characters in it.
class BiffCursor {
 public:
  explicit BiffCursor(const BiffRecord& record)
      : record_(record), here_(record.parts.empty() ? std::string_view() : record.parts[0]) {}

  // Fields read from within one part, as nearly all are, take the inline path; only a field
  // cut by a part boundary, or missing, goes through the checks that move between parts.
  std::uint8_t u8() {
    if (available(1)) [[likely]]
      return byteAt(position_++);
    return u8AcrossParts();
  }
  std::uint16_t u16() {
    if (available(2)) [[likely]] {
      const auto value = static_cast<std::uint16_t>(byteAt(position_) | byteAt(position_ + 1) << 8);
      position_ += 2;
      return value;
    }
    return u16AcrossParts();
  }
  std::uint32_t u32() {
    if (available(4)) [[likely]] {
      const std::uint32_t value = byteAt(position_) | byteAt(position_ + 1) << 8 |
                                  byteAt(position_ + 2) << 16 |
                                  static_cast<std::uint32_t>(byteAt(position_ + 3)) << 24;
      position_ += 4;
      return value;
    }
    const std::uint32_t low = u16();
    return low | static_cast<std::uint32_t>(u16()) << 16;
  }
  double f64();
  void skip(std::size_t count);
  // Whether every byte of the record has been read.
  bool atEnd();

  // A string with a 16-bit character count and an option byte, as in LABEL, STRING and
  // FORMAT records, as UTF-8.
  std::string unicodeString();
  // The same with an 8-bit character count, as in BOUNDSHEET records.
  std::string shortUnicodeString();
  // A shared string: like unicodeString(), but the option byte may announce rich text runs
  // and phonetic data around the characters, which are skipped.
  std::string sharedString();

 private:
  // `count` characters; `highByte` says whether the first ones are stored as UTF-16 (true) or
  // as their low bytes only (false).
  std::string chars(std::size_t count, bool highByte);
  // Moves to the next part when the current one is used up; false at the end of the record.
  bool advance();
  // Moves on to the part after the current one (past the last: none, and nothing available).
  void nextPart() {
    ++part_;
    position_ = 0;
    here_ = part_ < record_.parts.size() ? record_.parts[part_] : std::string_view();
  }
  bool available(std::size_t bytes) const { return here_.size() - position_ >= bytes; }
  std::uint8_t byteAt(std::size_t position) const {
    return static_cast<std::uint8_t>(here_[position]);
  }
  std::uint8_t u8AcrossParts();
  std::uint16_t u16AcrossParts();

  const BiffRecord& record_;
  std::size_t part_ = 0;
  std::string_view here_;  // the part at part_, empty past the last
  std::size_t position_ = 0;
};

}  // namespace kvd507::spreadsheet::xls
