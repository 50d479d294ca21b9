#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kvd507::test {

// Little-endian fields of a BIFF record body.
class BiffBytes {
 public:
  BiffBytes& u8(std::uint8_t value) {
    bytes_ += static_cast<char>(value);
    return *this;
  }
  BiffBytes& u16(std::uint16_t value) { return u8(value & 0xFF).u8(value >> 8); }
  BiffBytes& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
  BiffBytes& f64(double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    return u32(static_cast<std::uint32_t>(bits)).u32(static_cast<std::uint32_t>(bits >> 32));
  }
  BiffBytes& raw(std::string_view bytes) {
    bytes_ += bytes;
    return *this;
  }
  // Characters stored one byte each (option byte 0): Latin-1 only.
  BiffBytes& compressed(std::string_view latin1) { return raw(latin1); }
  // Characters stored as UTF-16 (option byte 1).
  BiffBytes& utf16(std::u16string_view text) {
    for (const char16_t c : text) u16(c);
    return *this;
  }
  // A string with a 16-bit count and its option byte, as in LABEL, STRING and FORMAT.
  BiffBytes& string(std::string_view latin1) {
    return u16(static_cast<std::uint16_t>(latin1.size())).u8(0).compressed(latin1);
  }
  BiffBytes& string(std::u16string_view text) {
    return u16(static_cast<std::uint16_t>(text.size())).u8(1).utf16(text);
  }
  // The row, column and format index every cell record starts with (0-based).
  BiffBytes& cell(std::uint16_t row, std::uint16_t column, std::uint16_t xf = 15) {
    return u16(row).u16(column).u16(xf);
  }

  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// A BIFF8 workbook stream: the workbook's records, then one substream per sheet, with the
// BOUNDSHEET offsets filled in.
class BiffStreamBuilder {
 public:
  static constexpr std::uint16_t kWorksheet = 0x0010;
  static constexpr std::uint16_t kGlobals = 0x0005;

  static std::string record(std::uint16_t type, std::string_view body) {
    BiffBytes header;
    header.u16(type).u16(static_cast<std::uint16_t>(body.size()));
    return header.bytes() + std::string(body);
  }
  static std::string record(std::uint16_t type, const BiffBytes& body) {
    return record(type, body.bytes());
  }
  static std::string bof(std::uint16_t kind, std::uint16_t version = 0x0600) {
    return record(0x0809, BiffBytes().u16(version).u16(kind).u16(0).u16(0).u32(0).u32(0));
  }
  static std::string eof() { return record(0x000A, ""); }

  // Records of the workbook part, between its BOF and EOF.
  BiffStreamBuilder& global(std::string records) {
    globals_ += records;
    return *this;
  }
  // A sheet whose substream holds `records` between its BOF and EOF. `type` is the
  // BOUNDSHEET sheet type: 0 worksheet, 2 chart.
  BiffStreamBuilder& sheet(std::string name, std::string records, std::uint8_t type = 0) {
    sheets_.push_back({std::move(name), bof(kWorksheet) + records + eof(), type});
    return *this;
  }
  // A sheet whose substream is exactly `substream`, for damaged ones.
  BiffStreamBuilder& rawSheet(std::string name, std::string substream) {
    sheets_.push_back({std::move(name), std::move(substream), 0});
    return *this;
  }

  std::string build() const {
    std::size_t globalsSize = bof(kGlobals).size() + globals_.size() + eof().size();
    for (const auto& sheet : sheets_) globalsSize += boundSheet(sheet, 0).size();
    std::string stream = bof(kGlobals) + globals_;
    std::size_t offset = globalsSize;
    for (const auto& sheet : sheets_) {
      stream += boundSheet(sheet, static_cast<std::uint32_t>(offset));
      offset += sheet.substream.size();
    }
    stream += eof();
    for (const auto& sheet : sheets_) stream += sheet.substream;
    return stream;
  }

 private:
  struct Sheet {
    std::string name;
    std::string substream;
    std::uint8_t type;
  };

  static std::string boundSheet(const Sheet& sheet, std::uint32_t offset) {
    BiffBytes body;
    body.u32(offset).u8(0).u8(sheet.type);
    body.u8(static_cast<std::uint8_t>(sheet.name.size())).u8(0).compressed(sheet.name);
    return record(0x0085, body);
  }

  std::string globals_;
  std::vector<Sheet> sheets_;
};

}  // namespace kvd507::test
