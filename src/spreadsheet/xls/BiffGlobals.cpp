#include "spreadsheet/xls/BiffGlobals.h"

#include <map>

#include "spreadsheet/xls/BiffError.h"
#include "spreadsheet/xls/BiffRecords.h"

namespace kvd507::spreadsheet::xls {
namespace {

constexpr std::uint16_t kBiff8 = 0x0600;
constexpr std::uint16_t kBiff5 = 0x0500;
constexpr std::uint16_t kGlobalsSubstream = 0x0005;
constexpr std::uint8_t kWorksheetType = 0;

// Reads one workbook's globals, record by record.
class GlobalsParser {
 public:
  void record(const BiffRecord& record);
  BiffGlobals finish();

 private:
  void sharedStrings(const BiffRecord& record);

  BiffGlobals globals_;
  std::vector<std::uint16_t> xfFormats_;
  std::map<std::uint16_t, NumberShape> customFormats_;  // by format id, judged by its code
  bool haveSharedStrings_ = false;
};

void GlobalsParser::record(const BiffRecord& record) {
  BiffCursor in(record);
  switch (record.type) {
    case record::kFilePass:
      throw BiffError("the workbook is password-protected", record.offset,
                      ErrorKind::kWorkbookEncrypted);
    case record::kBoundSheet: {
      BiffGlobals::SheetEntry sheet;
      sheet.offset = in.u32();
      in.skip(1);  // visibility: hidden sheets are read like the others
      const std::uint8_t type = in.u8();
      sheet.name = in.shortUnicodeString();
      if (type == kWorksheetType) globals_.worksheets.push_back(std::move(sheet));
      break;
    }
    case record::kSst:
      sharedStrings(record);
      break;
    case record::kXf:
      in.skip(2);  // font
      xfFormats_.push_back(in.u16());
      break;
    case record::kFormat: {
      const std::uint16_t id = in.u16();
      customFormats_[id] = numberShapeOfCode(in.unicodeString());
      break;
    }
    case record::kDateMode:
      globals_.date1904 = in.u16() != 0;
      break;
    default:
      break;
  }
}

void GlobalsParser::sharedStrings(const BiffRecord& record) {
  if (haveSharedStrings_) return;  // there is one table; a second one would be damage
  haveSharedStrings_ = true;
  BiffCursor in(record);
  in.skip(4);  // strings used in cells
  // The count of distinct strings is only trusted as far as the record bears it out.
  const std::uint32_t count = in.u32();
  for (std::uint32_t i = 0; i < count && !in.atEnd(); ++i) {
    globals_.sharedStrings.add(in.sharedString());
  }
}

BiffGlobals GlobalsParser::finish() {
  globals_.xfShapes.reserve(xfFormats_.size());
  for (const std::uint16_t format : xfFormats_) {
    // A format the file spells out is judged by its code, even when it has a built-in id.
    const auto custom = customFormats_.find(format);
    globals_.xfShapes.push_back(custom != customFormats_.end() ? custom->second
                                                               : builtinNumberShape(format));
  }
  return std::move(globals_);
}

void checkBof(const BiffRecord& bof) {
  BiffCursor in(bof);
  const std::uint16_t version = in.u16();
  const std::uint16_t kind = in.u16();
  if (version == kBiff5) {
    throw BiffError("Excel 5.0/95 workbooks are not supported, save as .xls (97-2003) or .xlsx",
                    bof.offset, ErrorKind::kWorkbookFormatTooOld);
  }
  if (version != kBiff8) {
    throw BiffError("not an Excel 97-2003 workbook (unknown BIFF version)", bof.offset,
                    ErrorKind::kWorkbookFormatTooOld);
  }
  if (kind != kGlobalsSubstream) {
    throw BiffError("the workbook stream does not start with the workbook's own records",
                    bof.offset);
  }
}

}  // namespace

BiffGlobals readBiffGlobals(std::string_view stream) {
  BiffRecordReader reader(stream, 0);
  BiffRecord record;
  if (!reader.next(record)) throw BiffError("the workbook stream is empty", 0);
  if (record.type != record::kBof) {
    // Excel 2.x-4.x streams start with BOF records of other numbers.
    if ((record.type & 0xFF) == 0x09) {
      throw BiffError(
          "workbooks older than Excel 97 are not supported, save as .xls "
          "(97-2003) or .xlsx",
          0, ErrorKind::kWorkbookFormatTooOld);
    }
    throw BiffError("the workbook stream does not start with a BOF record", 0);
  }
  checkBof(record);
  GlobalsParser parser;
  while (reader.next(record)) {
    if (record.type == record::kEof) return parser.finish();
    parser.record(record);
  }
  throw BiffError("the workbook stream ends before the end of the workbook's records",
                  stream.size());
}

}  // namespace kvd507::spreadsheet::xls
