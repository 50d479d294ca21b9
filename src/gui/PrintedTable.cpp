#include "gui/PrintedTable.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <charconv>
#include <string>

#include "gui/GlyphText.h"
#include "text/XmlReferences.h"

namespace kvd507::gui {
namespace {

constexpr double kLinePadding = 0.35;  // of a line's height, above and below a row's text

}  // namespace

PrintedTable::PrintedTable(const runs::DeclarationContent& content, bool u, GlyphText& text,
                           GlyphText& bold, double portraitWidth, double landscapeWidth)
    : content_(content),
      u_(u),
      table_(u ? content.uRows : content.lRows),
      columns_(formColumns(u)),
      text_(text),
      bold_(bold) {
  const std::size_t count = columns_.size();
  pad_ = text.advance(u"0") * 0.55;
  std::vector<double> widest(count, 0);
  for (std::size_t row = 0; row < table_.size(); ++row) {
    for (std::size_t column = 0; column < count; ++column) {
      const QStringView value = cellText(row, column);
      if (!value.isEmpty()) widest[column] = std::max(widest[column], text.advance(value));
    }
  }
  empty_.resize(count);
  std::vector<double> natural(count);
  for (std::size_t column = 0; column < count; ++column) {
    empty_[column] = widest[column] == 0 && !table_.empty();
    double header = 0;
    for (const QString& line : headerLines(column)) {
      for (const QString& word : line.split(u' ')) header = std::max(header, bold.advance(word));
    }
    natural[column] = std::max(widest[column], header) + 2 * pad_;
  }
  double total = 0;
  for (const double w : natural) total += w;
  landscape_ = total > portraitWidth;
  pageWidth_ = landscape_ ? landscapeWidth : portraitWidth;
  width_ = natural;
  narrowed_ = total > pageWidth_;
  if (narrowed_) shareWidth(natural, bold);
  wrapping_.resize(count);
  for (std::size_t c = 0; c < count; ++c) wrapping_[c] = width_[c] - 2 * pad_ < widest[c];
  left_.resize(count);
  double x = 0;
  for (std::size_t c = 0; c < count; ++c) {
    left_[c] = x;
    x += width_[c];
  }
  std::size_t lines = 1;
  for (std::size_t c = 0; c < count; ++c) {
    std::size_t taken = 0;
    for (const QString& line : headerLines(c)) {
      taken += bold.wrap(line, width_[c] - 2 * pad_).size();
    }
    lines = std::max(lines, taken);
  }
  headerHeight_ = (static_cast<double>(lines) + 2 * kLinePadding) * bold.lineHeight();
}

// Too wide even on a landscape page: what is left beside the columns that keep their width is
// shared among those that wrap, the narrowest served first, none below its header's longest
// word. Should even that not fit, every column gives up the same part of its width.
void PrintedTable::shareWidth(const std::vector<double>& natural, const GlyphText& bold) {
  const std::size_t count = columns_.size();
  double left = pageWidth_;
  std::vector<std::size_t> wrapping;
  for (std::size_t c = 0; c < count; ++c) {
    if (columns_[c].wraps && !empty_[c]) {
      wrapping.push_back(c);
    } else {
      left -= natural[c];
    }
  }
  std::sort(wrapping.begin(), wrapping.end(),
            [&natural](std::size_t a, std::size_t b) { return natural[a] < natural[b]; });
  for (std::size_t i = 0; i < wrapping.size(); ++i) {
    const std::size_t c = wrapping[i];
    double least = 0;
    for (const QString& word : columns_[c].name.split(u' ')) {
      least = std::max(least, bold.advance(word));
    }
    const double share = left / static_cast<double>(wrapping.size() - i);
    width_[c] = std::min(natural[c], std::max(share, least + 2 * pad_));
    left -= width_[c];
  }
  double now = 0;
  for (const double w : width_) now += w;
  if (now > pageWidth_) {
    for (double& w : width_) w *= pageWidth_ / now;
  }
}

QStringView PrintedTable::utf16(std::string_view text) const {
  cell_.resize(
      static_cast<std::size_t>(decoder_.requiredSpace(static_cast<qsizetype>(text.size()))));
  const QChar* end = decoder_.appendToBuffer(
      cell_.data(), QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
  return {cell_.data(), end - cell_.data()};
}

QStringView PrintedTable::cellText(std::size_t row, std::size_t column) const {
  const FormColumn& c = columns_[column];
  std::size_t number = 0;
  switch (c.source) {
    case FormColumn::Source::Page:
      number = formPage(row);
      break;
    case FormColumn::Source::Slot:
      number = u_ ? runs::uRowPlace(row, content_.lRows.size()).slot : runs::lRowPlace(row).slot;
      break;
    case FormColumn::Source::Cell: {
      const std::string& value = table_[row][c.cell];
      // The name as the form shows it, its references decoded.
      if (c.cell == rows::cell::kText && value.find('&') != std::string::npos) {
        return utf16(text::decodeXmlText(value));
      }
      return utf16(value);
    }
  }
  std::array<char, 24> digits{};
  const auto written = std::to_chars(digits.data(), digits.data() + digits.size(), number);
  return utf16(
      std::string_view(digits.data(), static_cast<std::size_t>(written.ptr - digits.data())));
}

std::size_t PrintedTable::formPage(std::size_t row) const {
  return u_ ? runs::uRowPlace(row, content_.lRows.size()).page : runs::lRowPlace(row).page;
}

QStringList PrintedTable::headerLines(std::size_t column) const {
  const FormColumn& c = columns_[column];
  if (c.field.isEmpty()) return {c.name};
  if (!empty_.empty() && empty_[column]) return {c.field};
  return {c.name, c.field};
}

QString PrintedTable::emptyColumnsNote() const {
  QStringList names;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    if (empty_[c]) names << columnHeading(columns_[c]);
  }
  return names.isEmpty() ? QString() : "Tušti stulpeliai: " + names.join(", ");
}

double PrintedTable::rowHeight(std::size_t row) const {
  std::size_t lines = 1;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    if (!wrapping_[c]) continue;
    const QStringView value = cellText(row, c);
    if (value.isEmpty()) continue;
    lines = std::max(lines, text_.wrap(value, width_[c] - 2 * pad_).size());
  }
  return (static_cast<double>(lines) + 2 * kLinePadding) * text_.lineHeight();
}

void PrintedTable::drawHeader(QPainter& painter, double y) const {
  GlyphText& bold = bold_;
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    double baseline = y + kLinePadding * bold.lineHeight() + bold.ascent();
    for (const QString& part : headerLines(c)) {
      for (const QStringView line : bold.wrap(part, width_[c] - 2 * pad_)) {
        addLine(bold, painter, c, line, baseline);
        baseline += bold.lineHeight();
      }
    }
  }
  bold.flush(painter);
  painter.setPen(QPen(Qt::black, 0));
  painter.drawLine(QPointF(0, y + headerHeight_), QPointF(pageWidth_, y + headerHeight_));
}

void PrintedTable::drawRow(QPainter& painter, std::size_t row, double y, double height) const {
  GlyphText& text = text_;
  const double top = y + kLinePadding * text.lineHeight() + text.ascent();
  for (std::size_t c = 0; c < columns_.size(); ++c) {
    const QStringView value = cellText(row, c);
    if (value.isEmpty()) continue;
    if (!wrapping_[c]) {
      addLine(text, painter, c, value, top);
      continue;
    }
    double baseline = top;
    for (const QStringView line : text.wrap(value, width_[c] - 2 * pad_)) {
      addLine(text, painter, c, line, baseline);
      baseline += text.lineHeight();
    }
  }
  const double bottom = y + height;
  painter.setPen(QPen(QColor(190, 190, 190), 0));
  painter.drawLine(QPointF(0, bottom), QPointF(pageWidth_, bottom));
}

void PrintedTable::addLine(GlyphText& font, QPainter& painter, std::size_t column, QStringView line,
                           double baseline) const {
  const double x = columns_[column].number
                       ? left_[column] + width_[column] - pad_ - font.advance(line)
                       : left_[column] + pad_;
  font.add(painter, line, QPointF(x, baseline));
}

void PrintedTable::flush(QPainter& painter) const {
  text_.flush(painter);
}

}  // namespace kvd507::gui
