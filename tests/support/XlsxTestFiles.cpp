#include "support/XlsxTestFiles.h"

#include <zip.h>

#include <stdexcept>

#include "spreadsheet/XlsxSource.h"

namespace kvd507::test {

std::string sheetXml(std::string_view rows) {
  return R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
         "\n<worksheet xmlns=\"" +
         std::string(kMainNamespace) + "\" xmlns:r=\"" + std::string(kRelationshipNamespace) +
         "\"><dimension ref=\"A1\"/><sheetData>" + std::string(rows) +
         "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
         "header=\"0.3\" footer=\"0.3\"/></worksheet>";
}

XlsxParts minimalWorkbook(std::string_view rows) {
  const std::string main(kMainNamespace);
  const std::string rel(kRelationshipNamespace);
  const std::string packageRels = "http://schemas.openxmlformats.org/package/2006/relationships";
  XlsxParts parts;
  parts["[Content_Types].xml"] =
      R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>)";
  parts["_rels/.rels"] = "<Relationships xmlns=\"" + packageRels +
                         "\"><Relationship Id=\"rId1\" Type=\"" + rel +
                         "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>";
  parts["xl/workbook.xml"] = "<workbook xmlns=\"" + main + "\" xmlns:r=\"" + rel +
                             "\"><workbookPr/><sheets><sheet name=\"Sheet1\" sheetId=\"1\" "
                             "r:id=\"rId1\"/></sheets></workbook>";
  parts["xl/_rels/workbook.xml.rels"] =
      "<Relationships xmlns=\"" + packageRels + "\"><Relationship Id=\"rId1\" Type=\"" + rel +
      "/worksheet\" Target=\"worksheets/sheet1.xml\"/><Relationship Id=\"rId2\" Type=\"" + rel +
      "/styles\" Target=\"styles.xml\"/><Relationship Id=\"rId3\" Type=\"" + rel +
      "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>";
  parts["xl/worksheets/sheet1.xml"] = sheetXml(rows);
  // The template list (cellStyleXfs) puts a date first: it must not be taken for cell styles.
  parts["xl/styles.xml"] =
      "<styleSheet xmlns=\"" + main +
      "\"><numFmts count=\"2\"><numFmt numFmtId=\"164\" formatCode=\"yyyy\\-mm\\-dd\"/>"
      "<numFmt numFmtId=\"165\" formatCode=\"#,##0.00\"/></numFmts>"
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"14\"/></cellStyleXfs>"
      "<cellXfs count=\"4\"><xf numFmtId=\"0\" xfId=\"0\"/><xf numFmtId=\"14\" xfId=\"0\"/>"
      "<xf numFmtId=\"164\" xfId=\"0\"/><xf numFmtId=\"165\" xfId=\"0\"/></cellXfs>"
      "</styleSheet>";
  // The counts are lies: a reader must not size anything from them.
  parts["xl/sharedStrings.xml"] =
      "<sst xmlns=\"" + main +
      "\" count=\"4000000000\" uniqueCount=\"4000000000\"><si><t>plain</t></si>"
      "<si><r><rPr><b/></rPr><t>Rich </t></r><r><t xml:space=\"preserve\">text</t></r>"
      "<rPh sb=\"0\" eb=\"4\"><t>ルビ</t></rPh><phoneticPr fontId=\"1\"/></si>"
      "<si><t>line_x000D_break</t></si><si><t/></si></sst>";
  return parts;
}

void writeZip(const std::filesystem::path& file, const XlsxParts& parts) {
  int error = 0;
  zip_t* archive = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (archive == nullptr) throw std::runtime_error("cannot create " + file.string());
  for (const auto& [name, content] : parts) {
    zip_source_t* source = zip_source_buffer(archive, content.data(), content.size(), 0);
    if (source == nullptr ||
        zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) < 0) {
      zip_source_free(source);
      zip_discard(archive);
      throw std::runtime_error("cannot add " + name + " to " + file.string());
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("cannot write " + file.string());
  }
}

std::vector<spreadsheet::RawRow> readRows(const std::filesystem::path& file,
                                          std::uint32_t maxColumn, std::size_t index) {
  const auto source = spreadsheet::openXlsxSource(file);
  const auto rows = source->openSheet(index, maxColumn);
  std::vector<spreadsheet::RawRow> all;
  spreadsheet::RawRow row;
  while (rows->next(row)) {
    // Shared strings live in the source, which ends here: the rows get copies.
    for (spreadsheet::RawCell& cell : row.cells) {
      if (cell.shared) cell = spreadsheet::RawCell::makeText(std::string(cell.textView()));
    }
    all.push_back(row);
  }
  return all;
}

}  // namespace kvd507::test
