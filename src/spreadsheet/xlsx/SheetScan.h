#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "spreadsheet/RowSource.h"
#include "spreadsheet/xlsx/SheetCells.h"
#include "spreadsheet/xlsx/SheetTokenizer.h"
#include "spreadsheet/xlsx/ZipArchive.h"

namespace kvd507::spreadsheet::xlsx {

// The rows of one worksheet part, read with SheetTokenizer as the part inflates; a part in
// another encoding than UTF-8 is read with expat (SheetStream) instead. `archive` must outlive
// the object.
class SheetScan : public RowSource {
 public:
  SheetScan(ZipArchive& archive, std::string_view part, std::uint64_t limit, SheetContext context,
            std::uint32_t maxColumn, std::size_t chunkSize = SheetTokenizer::kChunkSize);

  bool next(RawRow& row) override;

 private:
  ZipArchive& archive_;
  std::uint64_t limit_;
  SheetContext context_;
  std::uint32_t maxColumn_;
  SheetCells cells_;
  SheetTokenizer tokenizer_;
  std::unique_ptr<RowSource> expat_;
  bool finished_ = false;
};

}  // namespace kvd507::spreadsheet::xlsx
