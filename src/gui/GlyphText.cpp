#include "gui/GlyphText.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace kvd507::gui {
namespace {

bool breaksAfter(QChar c) {
  return c == u' ' || c == u'-' || c == u'/' || c == u',';
}

}  // namespace

GlyphText::GlyphText(const QFont& font)
    : font_(font), raw_(QRawFont::fromFont(font)), glyphs_(0x10000) {
  const QFontMetricsF metrics(font);
  ascent_ = metrics.ascent();
  lineHeight_ = metrics.height();
}

const GlyphText::Glyph& GlyphText::glyph(QChar c) const {
  Glyph& found = glyphs_[c.unicode()];
  if (found.advance < 0) {
    found.advance = 0;
    if (raw_.isValid() && !c.isSurrogate() && raw_.supportsCharacter(c)) {
      quint32 index = 0;
      int count = 1;
      if (raw_.glyphIndexesForChars(&c, 1, &index, &count) && count == 1 && index != 0) {
        found.index = index;
        const QList<QPointF> advances = raw_.advancesForGlyphIndexes(QList<quint32>{index});
        found.advance = advances.isEmpty() ? 0 : advances.first().x();
      }
    }
    if (found.index == 0) found.advance = QFontMetricsF(font_).horizontalAdvance(c);
  }
  return found;
}

bool GlyphText::covers(QStringView text) const {
  for (const QChar c : text) {
    if (glyph(c).index == 0 && c != u' ') return false;
  }
  return true;
}

double GlyphText::advance(QStringView text) const {
  if (!covers(text)) return QFontMetricsF(font_).horizontalAdvance(text.toString());
  double width = 0;
  for (const QChar c : text) width += glyph(c).advance;
  return width;
}

std::vector<QStringView> GlyphText::wrap(QStringView text, double width) const {
  // A column is made as wide as its widest value: that value must not wrap for a rounding.
  width += 0.01;
  std::vector<QStringView> lines;
  if (advance(text) <= width) {
    lines.push_back(text);
    return lines;
  }
  const qsizetype size = text.size();
  qsizetype start = 0;
  while (start < size) {
    double used = 0;
    qsizetype breakAt = -1;  // the end of the line when broken at the last break point
    qsizetype end = start;
    for (; end < size; ++end) {
      used += advance(text.mid(end, 1));
      if (used > width && end > start) break;
      if (breaksAfter(text[end])) breakAt = end + 1;
    }
    if (end < size && breakAt > start) end = breakAt;
    QStringView line = text.mid(start, end - start);
    while (line.endsWith(u' ')) line.chop(1);
    lines.push_back(line);
    start = end;
    while (start < size && text[start] == u' ') ++start;
  }
  return lines;
}

void GlyphText::add(QPainter& painter, QStringView text, QPointF at) {
  if (!covers(text)) {
    flush(painter);
    painter.setFont(font_);
    painter.setPen(Qt::black);
    painter.drawText(at, text.toString());
    return;
  }
  double x = at.x();
  for (const QChar c : text) {
    const Glyph& g = glyph(c);
    if (c != u' ') {
      pending_.push_back(g.index);
      // On a whole device pixel (1/300 inch on a PDF page): the PDF writer then spells the
      // offset from one glyph to the next as a short integer, not in nine digits.
      positions_.push_back(QPointF(std::round(x), at.y()));
    }
    x += g.advance;
  }
}

void GlyphText::flush(QPainter& painter) {
  if (pending_.isEmpty()) return;
  QGlyphRun run;
  run.setRawFont(raw_);
  run.setGlyphIndexes(pending_);
  run.setPositions(positions_);
  // The rules between rows are grey; the text never is.
  painter.setPen(Qt::black);
  painter.drawGlyphRun(QPointF(0, 0), run);
  pending_.clear();
  positions_.clear();
}

}  // namespace kvd507::gui
