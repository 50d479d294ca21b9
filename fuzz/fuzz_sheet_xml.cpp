// Differential target: the same worksheet XML is read by the tokenizer made for sheets
// (SheetScan) and by the expat-based reader (SheetStream), which is the reference. Both must
// hand out the same rows, and either both finish or both refuse the part after the same rows.
// Any difference aborts with both results printed. The first byte of the input sets how many
// bytes the tokenizer inflates at a time (1 to 64), so that chunks cut the markup everywhere.
// Seeds: fuzz/corpus/sheet_xml; dictionary: fuzz/dict/sheet_xml.dict.
//   build/fuzz/fuzz/fuzz_sheet_xml -dict=fuzz/dict/sheet_xml.dict fuzz/corpus/sheet_xml

#include <unistd.h>
#include <zip.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/WorkbookError.h"
#include "spreadsheet/xlsx/SheetScan.h"
#include "spreadsheet/xlsx/SheetStream.h"
#include "spreadsheet/xlsx/ZipArchive.h"

namespace {

using namespace kvd507::spreadsheet;

constexpr const char* kPart = "xl/worksheets/sheet1.xml";
constexpr std::uint64_t kLimit = 16 << 20;

const std::filesystem::path& archiveFile() {
  static const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                            ("fuzz_sheet_xml_" + std::to_string(getpid()) + ".zip");
  return file;
}

// Stores the XML unpacked, which keeps each run short; inflating is not what is compared.
void writeArchive(const std::uint8_t* data, std::size_t size) {
  int error = 0;
  zip_t* archive = zip_open(archiveFile().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) std::abort();
  zip_source_t* source = zip_source_buffer(archive, data, size, 0);
  const zip_int64_t index = zip_file_add(archive, kPart, source, ZIP_FL_OVERWRITE);
  if (index < 0 ||
      zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) != 0) {
    std::abort();
  }
  if (zip_close(archive) != 0) std::abort();
}

std::shared_ptr<const xlsx::SharedStrings> sharedStrings() {
  auto strings = std::make_shared<xlsx::SharedStrings>();
  strings->add("first");
  strings->add("second & more");
  return strings;
}

struct Outcome {
  std::vector<RawRow> rows;
  bool refused = false;
  std::string cause;
};

Outcome read(bool expat, std::size_t chunkSize, std::uint32_t maxColumn) {
  Outcome outcome;
  try {
    xlsx::ZipArchive archive(archiveFile(), kLimit);
    xlsx::SheetContext context{sharedStrings(), std::make_shared<xlsx::CellStyles>(), false};
    std::unique_ptr<RowSource> rows;
    if (expat) {
      rows = std::make_unique<xlsx::SheetStream>(archive.open(kPart, kLimit), context, maxColumn);
    } else {
      rows =
          std::make_unique<xlsx::SheetScan>(archive, kPart, kLimit, context, maxColumn, chunkSize);
    }
    RawRow row;
    while (rows->next(row)) {
      // Shared texts are views into a table that is gone once the part is read.
      for (RawCell& cell : row.cells) {
        if (cell.shared) cell = RawCell::makeText(std::string(cell.textView()));
      }
      outcome.rows.push_back(row);
    }
  } catch (const WorkbookError& e) {
    outcome.refused = true;
    outcome.cause = e.cause();
  }
  return outcome;
}

bool sameNumber(double a, double b) {
  return a == b || (std::isnan(a) && std::isnan(b));
}

bool sameRows(const std::vector<RawRow>& a, const std::vector<RawRow>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t r = 0; r < a.size(); ++r) {
    if (a[r].number != b[r].number || a[r].cells.size() != b[r].cells.size()) return false;
    for (std::size_t c = 0; c < a[r].cells.size(); ++c) {
      const RawCell& x = a[r].cells[c];
      const RawCell& y = b[r].cells[c];
      if (x.kind != y.kind || !sameNumber(x.number, y.number) || x.text != y.text) return false;
    }
  }
  return true;
}

void print(const char* name, const Outcome& outcome) {
  std::fprintf(stderr, "%s: %zu rows, %s %s\n", name, outcome.rows.size(),
               outcome.refused ? "refused:" : "finished", outcome.cause.c_str());
  for (const RawRow& row : outcome.rows) {
    std::fprintf(stderr, "  row %u:", row.number);
    for (const RawCell& cell : row.cells) {
      std::fprintf(stderr, " [%d %.17g \"%s\"]", static_cast<int>(cell.kind), cell.number,
                   cell.text.c_str());
    }
    std::fprintf(stderr, "\n");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t chunkSize = 1 + data[0] % 64;
  writeArchive(data + 1, size - 1);
  // A narrow and the widest column limit take different paths through the cells.
  for (const std::uint32_t maxColumn : {3u, 16384u}) {
    const Outcome scanned = read(false, chunkSize, maxColumn);
    const Outcome reference = read(true, chunkSize, maxColumn);
    if (scanned.refused != reference.refused || !sameRows(scanned.rows, reference.rows)) {
      print("tokenizer", scanned);
      print("expat", reference);
      std::abort();
    }
  }
  return 0;
}
