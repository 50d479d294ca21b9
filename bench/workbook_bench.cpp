// How long reading a large workbook takes, sheet by sheet. The workbook is written to the
// temporary folder on the first run and reused after that; KVD507_BENCH_WORKBOOK names another.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "BenchWorkbook.h"
#include "intake/ReadStops.h"
#include "intake/SheetReader.h"
#include "rows/RowTable.h"
#include "rows/StatusSink.h"
#include "spreadsheet/Workbook.h"

namespace {

namespace fs = std::filesystem;
using kvd507::rows::RowTable;
using kvd507::spreadsheet::Workbook;

// Lithuanian users' decimal comma, so that amounts are printed the way they are in use.
constexpr char kDecimalSeparator = ',';

// Shows nothing; only counts the rows the reader announces, to report rows per second.
class CountingStatus : public kvd507::rows::StatusSink {
 public:
  void setStatus(std::string_view) override { ++rows; }
  void processPendingEvents() override {}

  std::int64_t rows = 0;
};

fs::path benchWorkbook() {
  if (const char* named = std::getenv("KVD507_BENCH_WORKBOOK")) return named;
  const fs::path file =
      fs::temp_directory_path() / ("kvd507-bench-" + std::to_string(kvd507::bench::kDefaultLRows) +
                                   "x" + std::to_string(kvd507::bench::kDefaultURows) + ".xlsx");
  if (!fs::exists(file)) {
    std::cerr << "writing " << file << "\n";
    // Written under another name first, so that an interrupted run leaves no half file behind.
    const fs::path partial = file.string() + ".part";
    kvd507::bench::writeBenchWorkbook(partial, kvd507::bench::kDefaultLRows,
                                      kvd507::bench::kDefaultURows);
    fs::rename(partial, file);
  }
  return file;
}

const fs::path& workbookFile() {
  static const fs::path file = benchWorkbook();
  return file;
}

void BM_OpenWorkbook(benchmark::State& state) {
  for (auto _ : state) {
    Workbook book = Workbook::open(workbookFile());
    benchmark::DoNotOptimize(book);
  }
}
BENCHMARK(BM_OpenWorkbook)->Unit(benchmark::kMillisecond);

template <typename Read>
void readSheet(benchmark::State& state, Read read) {
  CountingStatus status;
  std::size_t rows = 0;
  for (auto _ : state) {
    Workbook book = Workbook::open(workbookFile());
    RowTable table;
    kvd507::intake::ReadStops stops;
    read(book, table, status, stops);
    if (!stops.stops().empty()) {
      state.SkipWithError(kvd507::intake::readStopWarning(stops.stops()[0]).c_str());
      break;
    }
    rows = table.size();
    benchmark::DoNotOptimize(table);
  }
  // Worksheet rows read, the ten empty ones that end the data included.
  state.SetItemsProcessed(status.rows);
  state.counters["table_rows"] = static_cast<double>(rows);
}

void BM_ReadLSheet(benchmark::State& state) {
  readSheet(state, [](Workbook& book, RowTable& table, CountingStatus& status,
                      kvd507::intake::ReadStops& stops) {
    kvd507::intake::readLSheet(book, table, status, kDecimalSeparator, stops);
  });
}
BENCHMARK(BM_ReadLSheet)->Unit(benchmark::kMillisecond);

void BM_ReadUSheet(benchmark::State& state) {
  readSheet(state, [](Workbook& book, RowTable& table, CountingStatus& status,
                      kvd507::intake::ReadStops& stops) {
    kvd507::intake::readUSheet(book, table, status, kDecimalSeparator, stops);
  });
}
BENCHMARK(BM_ReadUSheet)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  // Written before any timing starts, or the first benchmark would measure the writing too.
  try {
    workbookFile();
  } catch (const std::exception& e) {
    std::cerr << "workbook_bench: " << e.what() << '\n';
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
