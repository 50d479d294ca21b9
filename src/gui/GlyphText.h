#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QPointF>
#include <QRawFont>
#include <QStringView>
#include <QVector>
#include <vector>

class QPainter;

namespace kvd507::gui {

// Measures, wraps and draws text in one font the fast way: glyphs and advances looked up once
// per character, a page's text gathered into one glyph run. A printout of a hundred thousand
// rows is mostly lookups then, not text layout. Text with a character the font lacks is drawn
// through QPainter, which finds another font for it.
class GlyphText {
 public:
  explicit GlyphText(const QFont& font);

  const QFont& font() const { return font_; }
  double ascent() const { return ascent_; }
  double lineHeight() const { return lineHeight_; }

  double advance(QStringView text) const;
  // The lines `text` takes in `width`: broken after a space, "-", "/" or ",", and inside a word
  // only when the word alone is wider. Nothing is ever left out.
  std::vector<QStringView> wrap(QStringView text, double width) const;

  // Adds `text` with its baseline's left end at `at` to the glyphs waiting for flush().
  void add(QPainter& painter, QStringView text, QPointF at);
  void flush(QPainter& painter);

 private:
  struct Glyph {
    quint32 index = 0;
    double advance = -1;  // -1: not looked up yet
  };
  const Glyph& glyph(QChar c) const;
  bool covers(QStringView text) const;

  QFont font_;
  QRawFont raw_;
  double ascent_ = 0;
  double lineHeight_ = 0;
  mutable std::vector<Glyph> glyphs_;  // by UTF-16 code unit
  QVector<quint32> pending_;
  QVector<QPointF> positions_;
};

}  // namespace kvd507::gui
