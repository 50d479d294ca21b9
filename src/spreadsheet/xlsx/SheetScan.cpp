#include "spreadsheet/xlsx/SheetScan.h"

#include <string>
#include <utility>

#include "spreadsheet/xlsx/SheetStream.h"

namespace kvd507::spreadsheet::xlsx {
SheetScan::SheetScan(ZipArchive& archive, std::string_view part, std::uint64_t limit,
                     SheetContext context, std::uint32_t maxColumn, std::size_t chunkSize)
    : archive_(archive),
      limit_(limit),
      context_(context),
      maxColumn_(maxColumn),
      cells_(archive.fileName(), std::string(part), std::move(context), maxColumn),
      tokenizer_(archive.open(part, limit), cells_, chunkSize) {}

bool SheetScan::next(RawRow& row) {
  if (expat_) return expat_->next(row);
  if (finished_) return false;
  for (;;) {
    const SheetTokenizer::Progress progress = tokenizer_.step();
    if (progress == SheetTokenizer::Progress::OtherEncoding) {
      expat_ = std::make_unique<SheetStream>(archive_.open(cells_.part(), limit_),
                                             std::move(context_), maxColumn_);
      return expat_->next(row);
    }
    if (cells_.takeRow(row)) return true;
    if (progress == SheetTokenizer::Progress::Finished) {
      finished_ = true;
      return false;
    }
  }
}

}  // namespace kvd507::spreadsheet::xlsx
