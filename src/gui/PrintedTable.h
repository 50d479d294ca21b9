#pragma once

#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QStringView>
#include <cstddef>
#include <string_view>
#include <vector>

#include "gui/FormColumns.h"
#include "runs/DeclarationContent.h"

class QPainter;

namespace kvd507::gui {

class GlyphText;

// One appendix laid out for the printed page: each column as wide as its longest value (a
// column nobody filled only as wide as its field id), on a portrait page when that fits, on a
// landscape one otherwise; only when even that is too narrow do names and addresses wrap. A
// value is never cut. Rows are read from the declaration as they are drawn, so a page costs the
// same whatever the declaration's length.
class PrintedTable {
 public:
  // `text` and `bold` are the fonts of the rows and the header; the table draws with them.
  PrintedTable(const runs::DeclarationContent& content, bool u, GlyphText& text, GlyphText& bold,
               double portraitWidth, double landscapeWidth);

  QString title() const { return u_ ? "KVD507U" : "KVD507L"; }
  bool landscape() const { return landscape_; }
  // Some columns are narrower than their values, which wrap.
  bool narrowed() const { return narrowed_; }
  std::size_t rows() const { return table_.size(); }
  // "Tušti stulpeliai: L6 (N), L7 (D)": the names of the columns shown by their id alone.
  QString emptyColumnsNote() const;

  // The form page of a row, for the page heading.
  std::size_t formPage(std::size_t row) const;

  double headerHeight() const { return headerHeight_; }
  double rowHeight(std::size_t row) const;

  void drawHeader(QPainter& painter, double y) const;
  void drawRow(QPainter& painter, std::size_t row, double y, double height) const;
  // Draws what the rows left waiting.
  void flush(QPainter& painter) const;

 private:
  // The text of a cell, valid until the next call: a page's cells are measured and drawn
  // without a string allocated for each.
  QStringView cellText(std::size_t row, std::size_t column) const;
  QStringView utf16(std::string_view text) const;
  QStringList headerLines(std::size_t column) const;
  // Adds one line of a cell, right-aligned in a column of numbers.
  void addLine(GlyphText& font, QPainter& painter, std::size_t column, QStringView line,
               double baseline) const;
  void shareWidth(const std::vector<double>& natural, const GlyphText& bold);

  const runs::DeclarationContent& content_;
  bool u_;
  const rows::RowTable& table_;
  const std::vector<FormColumn>& columns_;
  GlyphText& text_;
  GlyphText& bold_;
  std::vector<bool> empty_;
  // Narrower than its widest value: only such a column's values may take more than one line.
  std::vector<bool> wrapping_;
  std::vector<double> left_;
  std::vector<double> width_;
  double pad_ = 0;
  double pageWidth_ = 0;
  double headerHeight_ = 0;
  bool landscape_ = false;
  bool narrowed_ = false;
  mutable QStringDecoder decoder_{QStringDecoder::Utf8, QStringDecoder::Flag::Stateless};
  mutable std::vector<QChar> cell_;
};

}  // namespace kvd507::gui
