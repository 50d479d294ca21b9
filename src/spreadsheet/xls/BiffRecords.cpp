#include "spreadsheet/xls/BiffRecords.h"

#include <algorithm>
#include <bit>

#include "spreadsheet/xls/BiffError.h"

namespace kvd507::spreadsheet::xls {
namespace {

std::uint16_t le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

void appendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// A lone surrogate cannot be written as UTF-8; it becomes U+FFFD as in every other reader.
std::string toUtf8(const std::u16string& units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    const char16_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      appendUtf8(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (units[i + 1] - 0xDC00),
                 out);
      ++i;
    } else if (unit >= 0xD800 && unit <= 0xDFFF) {
      appendUtf8(0xFFFD, out);
    } else {
      appendUtf8(unit, out);
    }
  }
  return out;
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
      appendUtf8(static_cast<unsigned char>(*byte), out);
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
  return toUtf8(units);
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
