#include <gtest/gtest.h>

#include <string>

#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/InflateAhead.h"
#include "spreadsheet/xlsx/ZipArchive.h"
#include "support/TempDir.h"
#include "support/XlsxTestFiles.h"

namespace kvd507::spreadsheet::xlsx {
namespace {

constexpr std::uint64_t kLimit = std::uint64_t{1} << 30;

// Several chunks and a piece, with no run long enough to hide a chunk read twice or skipped.
std::string longPart() {
  std::string text;
  for (std::size_t i = 0; text.size() < 5 * InflateAhead::kChunkBytes + 123; ++i) {
    text += "<row r=\"" + std::to_string(i) + "\"/>";
  }
  return text;
}

// Everything `entry` gives, read `step` bytes at a time.
std::string readAll(InflateAhead& entry, std::size_t step) {
  std::string out;
  std::string buffer(step, '\0');
  while (const std::size_t got = entry.read(buffer.data(), step)) out.append(buffer, 0, got);
  return out;
}

class InflateAheadTest : public testing::TestWithParam<std::size_t> {};

TEST_P(InflateAheadTest, GivesThePartAsInflatedWhateverTheReadSize) {
  test::TempDir dir;
  const std::string part = longPart();
  test::writeZip(dir / "a.zip", {{"a.xml", part}, {"b.xml", "second"}});
  // Inflated whole with libdeflate, and piece by piece with zlib.
  for (const std::uint64_t wholePartBytes : {ZipArchive::kWholePartBytes, std::uint64_t{0}}) {
    SCOPED_TRACE(wholePartBytes);
    ZipArchive archive(dir / "a.zip", kLimit, wholePartBytes);
    InflateAhead entry(archive.open("a.xml", kLimit));
    EXPECT_EQ(readAll(entry, GetParam()), part);
    EXPECT_EQ(entry.read(nullptr, 0), 0U);
  }
}

INSTANTIATE_TEST_SUITE_P(ReadSizes, InflateAheadTest,
                         testing::Values(1, 7, 4096, InflateAhead::kChunkBytes,
                                         InflateAhead::kChunkBytes + 3, 1 << 20),
                         [](const testing::TestParamInfo<std::size_t>& test) {
                           return "Bytes" + std::to_string(test.param);
                         });

TEST(InflateAhead, StoppedEarlyLeavesTheArchiveToAnotherPart) {
  test::TempDir dir;
  test::writeZip(dir / "a.zip", {{"a.xml", longPart()}, {"b.xml", "second"}});
  for (const std::uint64_t wholePartBytes : {ZipArchive::kWholePartBytes, std::uint64_t{0}}) {
    SCOPED_TRACE(wholePartBytes);
    ZipArchive archive(dir / "a.zip", kLimit, wholePartBytes);
    InflateAhead first(archive.open("a.xml", kLimit));
    char byte = 0;
    ASSERT_EQ(first.read(&byte, 1), 1U);
    first.stop();
    // The rest of the chunk in hand, then nothing; a part inflated whole has none in hand.
    EXPECT_EQ(readAll(first, 4096).size(), wholePartBytes == 0 ? InflateAhead::kChunkBytes - 1 : 0);

    InflateAhead second(archive.open("b.xml", kLimit));
    EXPECT_EQ(readAll(second, 4096), "second");
  }
}

// Adds `delta` to a four-byte field of `part`'s local header and directory entry, at
// `localOffset` and `centralOffset` in either.
void changeField(std::string& zip, const std::string& part, std::size_t localOffset,
                 std::size_t centralOffset, std::int32_t delta) {
  const auto change = [&](std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(zip[at + i]);
    value += static_cast<std::uint32_t>(delta);
    for (int i = 0; i < 4; ++i) zip[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  const std::string local("PK\x03\x04", 4);
  const std::string central("PK\x01\x02", 4);
  for (std::size_t at = zip.find(local); at != std::string::npos; at = zip.find(local, at + 4)) {
    if (zip.compare(at + 30, part.size(), part) == 0) change(at + localOffset);
  }
  for (std::size_t at = zip.find(central); at != std::string::npos;
       at = zip.find(central, at + 4)) {
    if (zip.compare(at + 46, part.size(), part) == 0) change(at + centralOffset);
  }
}

// What reading the part comes to: its bytes, or the failure's kind and text.
std::string outcome(const std::filesystem::path& file, std::uint64_t wholePartBytes) {
  try {
    ZipArchive archive(file, kLimit, wholePartBytes);
    InflateAhead entry(archive.open("a.xml", kLimit));
    return readAll(entry, 4096);
  } catch (const WorkbookError& e) {
    return "failed " + std::to_string(static_cast<int>(e.kind())) + ": " + e.what();
  }
}

// Inflating a part whole is only a faster way to the same result: where the directory's size
// or CRC is not the data's, or the data is damaged, reading comes to what zlib comes to.
TEST(InflateAhead, APartInflatedWholeReadsAsZlibReadsIt) {
  struct Case {
    const char* what;
    std::size_t localOffset;  // of the field in the local header
    std::size_t centralOffset;
    std::int32_t delta;  // 0: nothing is changed
  };
  const Case cases[] = {
      {"intact", 14, 16, 0},
      {"another CRC", 14, 16, 1},
      {"a size one byte larger", 22, 24, 1},
      {"a size one byte smaller", 22, 24, -1},
      {"a packed size one byte smaller", 18, 20, -1},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto file = dir / "a.zip";
    test::writeZip(file, {{"a.xml", longPart()}});
    std::string zip = test::readFile(file);
    changeField(zip, "a.xml", c.localOffset, c.centralOffset, c.delta);
    test::writeFile(file, zip);
    const std::string whole = outcome(file, ZipArchive::kWholePartBytes);
    EXPECT_EQ(whole, outcome(file, 0));
    if (c.delta == 0) {
      EXPECT_EQ(whole, longPart());
    }
  }
}

TEST(InflateAhead, RefusesAPartBeyondItsLimitAfterTheBytesBefore) {
  test::TempDir dir;
  const std::string part = longPart();
  test::writeZip(dir / "a.zip", {{"a.xml", part}});
  ZipArchive archive(dir / "a.zip", kLimit);
  InflateAhead entry(archive.open("a.xml", 3 * InflateAhead::kChunkBytes));
  std::string got;
  std::string buffer(1000, '\0');
  try {
    for (;;) {
      const std::size_t count = entry.read(buffer.data(), buffer.size());
      ASSERT_NE(count, 0U) << "read to the end past the limit";
      got.append(buffer, 0, count);
    }
  } catch (const WorkbookError& e) {
    EXPECT_EQ(e.kind(), ErrorKind::kWorkbookExpands);
  }
  EXPECT_LE(got.size(), 3 * InflateAhead::kChunkBytes);
  EXPECT_EQ(got, part.substr(0, got.size()));
}

}  // namespace
}  // namespace kvd507::spreadsheet::xlsx
