#include "spreadsheet/xls/BiffRecords.h"

#include <algorithm>
#include <bit>

#include "spreadsheet/xls/BiffError.h"
#include "text/Utf8.h"

namespace kvd507::spreadsheet::xls {
namespace {

std::uint16_t le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

}  // namespace

BiffRecordReader::BiffRecordReader(std::string_view stream, std::size_t offset)
    : stream_(stream), position_(offset) {
  if (offset > stream.size()) {
    throw BiffError("a sheet starts past the end of the workbook", std::nullopt);
  }
}

bool BiffRecordReader::checkedHeaderEnd() const {
  if (position_ == stream_.size()) return false;
  if (stream_.size() - position_ < kHeaderSize) {
    throw BiffError("the workbook stream ends inside a record header", position_);
  }
  throw BiffError("a record runs past the end of the workbook stream", position_);
}

bool BiffRecordReader::next(BiffRecord& out) {
  std::uint16_t type = 0;
  std::size_t length = 0;
  if (!header(type, length)) return false;
  out.type = type;
  out.offset = position_;
  out.parts.clear();
  out.parts.push_back(body(length));
  position_ += kHeaderSize + length;
  while (header(type, length) && type == record::kContinue) {
    out.parts.push_back(body(length));
    position_ += kHeaderSize + length;
  }
  return true;
}

bool BiffCursor::advance() {
  while (part_ < record_.parts.size() && position_ == record_.parts[part_].size()) nextPart();
  return part_ < record_.parts.size();
}

bool BiffCursor::atEnd() {
  return !advance();
}

std::uint8_t BiffCursor::u8AcrossParts() {
  if (!advance()) throw BiffError("a record is shorter than its contents", record_.offset);
  return byteAt(position_++);
}

std::uint16_t BiffCursor::u16AcrossParts() {
  const std::uint16_t low = u8();
  return static_cast<std::uint16_t>(low | u8() << 8);
}

double BiffCursor::f64() {
  const std::uint64_t low = u32();
  const std::uint64_t bits = low | static_cast<std::uint64_t>(u32()) << 32;
  return std::bit_cast<double>(bits);
}

void BiffCursor::skip(std::size_t count) {
  while (count > 0) {
    if (!advance()) throw BiffError("a record is shorter than its contents", record_.offset);
    const std::size_t here = std::min(count, record_.parts[part_].size() - position_);
    position_ += here;
    count -= here;
  }
}

std::string BiffCursor::chars(std::size_t count, bool highByte) {
  // Most strings are stored one byte a character, whole within the part they start in: their
  // bytes are Latin-1, and need no UTF-16 on the way to UTF-8.
  if (!highByte && part_ < record_.parts.size() &&
      record_.parts[part_].size() - position_ >= count) {
    const std::string_view bytes = record_.parts[part_].substr(position_, count);
    position_ += count;
    const auto ascii =
        std::find_if(bytes.begin(), bytes.end(), [](char byte) { return (byte & 0x80) != 0; });
    std::string out(bytes.begin(), ascii);  // nearly always all of them
    for (auto byte = ascii; byte != bytes.end(); ++byte) {
      text::appendUtf8(out, static_cast<unsigned char>(*byte));
    }
    return out;
  }
  std::u16string units;
  while (units.size() < count) {
    if (part_ < record_.parts.size() && position_ == record_.parts[part_].size()) {
      // Characters that go on in the next part come with a fresh option byte.
      nextPart();
      if (part_ == record_.parts.size()) break;
      const std::string_view next = record_.parts[part_];
      if (next.empty()) continue;
      highByte = (static_cast<unsigned char>(next[0]) & 0x01) != 0;
      position_ = 1;
      continue;
    }
    if (part_ == record_.parts.size()) break;
    const std::string_view part = record_.parts[part_];
    const std::size_t width = highByte ? 2 : 1;
    const std::size_t available = (part.size() - position_) / width;
    if (available == 0)
      throw BiffError("a string's character is split between records", record_.offset);
    const std::size_t take = std::min(available, count - units.size());
    for (std::size_t i = 0; i < take; ++i) {
      units += highByte ? static_cast<char16_t>(le16(part, position_))
                        : static_cast<char16_t>(static_cast<unsigned char>(part[position_]));
      position_ += width;
    }
  }
  if (units.size() < count) throw BiffError("a string is longer than its record", record_.offset);
  return text::utf16ToUtf8(units);
}

std::string BiffCursor::unicodeString() {
  const std::size_t count = u16();
  const bool highByte = (u8() & 0x01) != 0;
  return chars(count, highByte);
}

std::string BiffCursor::shortUnicodeString() {
  const std::size_t count = u8();
  const bool highByte = (u8() & 0x01) != 0;
  return chars(count, highByte);
}

std::string BiffCursor::sharedString() {
  const std::size_t count = u16();
  const std::uint8_t options = u8();
  const std::size_t runs = (options & 0x08) != 0 ? u16() : 0;
  const std::size_t phonetic = (options & 0x04) != 0 ? u32() : 0;
  std::string text = chars(count, (options & 0x01) != 0);
  skip(4 * runs);
  skip(phonetic);
  return text;
}

}  // namespace kvd507::spreadsheet::xls
