#include "gui/DeclarationPrint.h"

#include <QFileInfo>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <optional>
#include <vector>

#include "gui/DeclarationTables.h"
#include "gui/GlyphText.h"
#include "gui/PrintedTable.h"
#include "gui/ReplacingFileDevice.h"

namespace kvd507::gui {
namespace {

constexpr double kMarginMm = 15.0;

QString q(const std::string& text) {
  return QString::fromStdString(text);
}

QFont printFont(QPaintDevice& device, double points, bool bold) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPointSizeF(points);
  f.setBold(bold);
  // Without shaping "ff" and "fi" do not become ligatures, so that the text copied or searched
  // in the PDF is the text of the form; without kerning a line is as wide as its letters.
  f.setStyleStrategy(QFont::PreferNoShaping);
  f.setKerning(false);
  return {f, &device};
}

struct Fonts {
  explicit Fonts(QPaintDevice& device)
      : title(printFont(device, 12, true)),
        text(printFont(device, 9, false)),
        section(printFont(device, 10, true)),
        table(printFont(device, 7, false)),
        tableBold(printFont(device, 7, true)),
        small(printFont(device, 6, false)),
        smallBold(printFont(device, 6, true)) {}
  GlyphText title;
  GlyphText text;
  GlyphText section;
  GlyphText table;
  GlyphText tableBold;
  // For a table too wide for a landscape page in the usual size: a smaller font before wrapping.
  GlyphText small;
  GlyphText smallBold;
};

// A line of text of the printout, wrapped at the page's width when longer.
struct Line {
  enum class Kind { Title, Text, Section, Space };
  Kind kind = Kind::Text;
  QString text;
};

// What follows on from one page to the next in one orientation: lines, then an appendix's
// rows, then lines, then the findings, each drawn when its page is.
struct Flow {
  bool landscape = false;
  std::vector<Line> before;
  const PrintedTable* table = nullptr;
  std::vector<Line> after;
  const std::vector<rows::Finding>* findings = nullptr;

  std::size_t rows() const { return table != nullptr ? table->rows() : 0; }
  std::size_t findingCount() const { return findings != nullptr ? findings->size() : 0; }
  std::size_t items() const { return before.size() + rows() + after.size() + findingCount(); }
  // The table row of item `k`, if it is one.
  std::optional<std::size_t> rowOf(std::size_t k) const {
    if (k < before.size() || k >= before.size() + rows()) return std::nullopt;
    return k - before.size();
  }
  Line lineOf(std::size_t k) const {
    if (k < before.size()) return before[k];
    k -= before.size() + rows();
    if (k < after.size()) return after[k];
    return {Line::Kind::Text, q((*findings)[k - after.size()].describe())};
  }
};

struct PageStart {
  std::size_t flow = 0;
  std::size_t item = 0;
};

class Printout {
 public:
  Printout(QPagedPaintDevice& device, const runs::DeclarationContent& content, char separator)
      : device_(device), content_(content), fonts_(device) {
    QPageLayout layout = device.pageLayout();
    layout.setOrientation(QPageLayout::Portrait);
    const int dpi = device.logicalDpiX();
    portrait_ = layout.paintRectPixels(dpi).size();
    layout.setOrientation(QPageLayout::Landscape);
    landscape_ = layout.paintRectPixels(dpi).size();
    headerHeight_ = fonts_.text.lineHeight() * 2.4;
    footerHeight_ = fonts_.text.lineHeight() * 1.6;
    layOut(l_, false);
    layOut(u_, true);
    makeFlows(separator);
    paginate();
  }

  int pageCount() const { return static_cast<int>(pages_.size()); }

  bool draw() {
    QPainter painter;
    device_.setPageOrientation(flows_[pages_[0].flow].landscape ? QPageLayout::Landscape
                                                                : QPageLayout::Portrait);
    if (!painter.begin(&device_)) return false;
    for (std::size_t page = 0; page < pages_.size(); ++page) {
      if (page > 0) {
        device_.setPageOrientation(flows_[pages_[page].flow].landscape ? QPageLayout::Landscape
                                                                       : QPageLayout::Portrait);
        device_.newPage();
      }
      drawPage(painter, page);
    }
    return painter.end();
  }

 private:
  QSizeF size(const Flow& flow) const { return flow.landscape ? landscape_ : portrait_; }
  double bodyBottom(const Flow& flow) const { return size(flow).height() - footerHeight_; }

  GlyphText& fontOf(Line::Kind kind) const {
    switch (kind) {
      case Line::Kind::Title:
        return fonts_.title;
      case Line::Kind::Section:
        return fonts_.section;
      case Line::Kind::Text:
      case Line::Kind::Space:
        break;
    }
    return fonts_.text;
  }

  double lineHeight(const Flow& flow, const Line& line) const {
    if (line.kind == Line::Kind::Space) return fonts_.text.lineHeight();
    const GlyphText& font = fontOf(line.kind);
    const double lines = static_cast<double>(font.wrap(line.text, size(flow).width()).size());
    return font.lineHeight() * (lines + (line.kind == Line::Kind::Text ? 0.3 : 0.8));
  }

  // The height of item `k`, with the table's header when the row opens the table on its page.
  double itemHeight(const Flow& flow, std::size_t k, bool opensTable) const {
    if (const auto row = flow.rowOf(k)) {
      return flow.table->rowHeight(*row) + (opensTable ? flow.table->headerHeight() : 0);
    }
    return lineHeight(flow, flow.lineOf(k));
  }

  void layOut(std::optional<PrintedTable>& table, bool u) {
    table.emplace(content_, u, fonts_.table, fonts_.tableBold, portrait_.width(),
                  landscape_.width());
    if (table->narrowed()) {
      table.emplace(content_, u, fonts_.small, fonts_.smallBold, portrait_.width(),
                    landscape_.width());
    }
  }

  void makeFlows(char separator) {
    Flow first;
    first.landscape = l_->landscape();
    first.before = {
        {Line::Kind::Title, "KVD507 forma"},
        {Line::Kind::Text, "Failas: " + QFileInfo(q(content_.file.string())).fileName()},
        {Line::Kind::Text, "Mokėtojo kodas (B_MM_ID): " + q(content_.header.id)},
        {Line::Kind::Text, "Mokėtojas (B_MM_Pavad): " + q(content_.payerName)},
        {Line::Kind::Text, "Metai (B_ML_Metai): " + q(content_.header.year)},
        {Line::Kind::Text, "Formos puslapių: " + QString::number(content_.pages)},
    };
    addTable(first, *l_);
    flows_.push_back(std::move(first));
    if (u_->rows() != 0) {
      Flow second;
      second.landscape = u_->landscape();
      addTable(second, *u_);
      flows_.push_back(std::move(second));
    } else {
      addTable(flows_.back(), *u_);
    }
    Flow last;
    last.before.push_back({Line::Kind::Section, "Sumos"});
    for (const QString& line : totalsLines(content_, separator)) {
      last.before.push_back({Line::Kind::Text, line});
    }
    last.before.push_back({Line::Kind::Space, {}});
    last.before.push_back({Line::Kind::Section, "Pastabos"});
    if (content_.findings.empty()) {
      last.before.push_back({Line::Kind::Text, "Pastabų nėra."});
    } else {
      last.findings = &content_.findings;
    }
    flows_.push_back(std::move(last));
  }

  // An appendix without rows is only named; one with rows is followed by the rest on a page of
  // its own, so that its table keeps its orientation.
  static void addTable(Flow& flow, const PrintedTable& table) {
    std::vector<Line>& lines =
        flow.table == nullptr && table.rows() != 0 ? flow.before : flow.after;
    lines.push_back({Line::Kind::Space, {}});
    lines.push_back({Line::Kind::Section,
                     table.title() + " priedas: eilučių " + QString::number(table.rows())});
    if (table.rows() == 0) return;
    if (const QString note = table.emptyColumnsNote(); !note.isEmpty()) {
      lines.push_back({Line::Kind::Text, note});
    }
    flow.table = &table;
  }

  void paginate() {
    for (std::size_t f = 0; f < flows_.size(); ++f) {
      const Flow& flow = flows_[f];
      pages_.push_back({f, 0});
      double y = headerHeight_;
      bool previousWasRow = false;
      for (std::size_t k = 0; k < flow.items(); ++k) {
        const bool row = flow.rowOf(k).has_value();
        double h = itemHeight(flow, k, row && !previousWasRow);
        if (y + h > bodyBottom(flow) && y > headerHeight_) {
          pages_.push_back({f, k});
          y = headerHeight_;
          h = itemHeight(flow, k, row);
        }
        y += h;
        previousWasRow = row;
      }
    }
  }

  void drawHeading(QPainter& painter, const Flow& flow, std::size_t first, std::size_t end,
                   int number) {
    const double width = size(flow).width();
    GlyphText& text = fonts_.text;
    const QString heading = "KVD507 – " + q(content_.payerName) + " (" + q(content_.header.id) +
                            "), " + q(content_.header.year) + " m.";
    text.add(painter, heading, QPointF(0, text.ascent()));
    QString pages;
    std::optional<std::size_t> from;
    std::optional<std::size_t> to;
    for (std::size_t k = first; k < end; ++k) {
      if (const auto row = flow.rowOf(k)) {
        if (!from) from = flow.table->formPage(*row);
        to = flow.table->formPage(*row);
      }
    }
    if (from) {
      pages = flow.table->title() + ", formos " +
              (*from == *to ? QString("%1 puslapis").arg(*from)
                            : QString("%1–%2 puslapiai").arg(*from).arg(*to));
      text.add(painter, pages, QPointF(width - text.advance(pages), text.ascent()));
    }
    const double rule = text.lineHeight() * 1.3;
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(0, rule), QPointF(width, rule));
    const QString count = QString("%1 iš %2").arg(number).arg(pageCount());
    text.add(painter, count,
             QPointF((width - text.advance(count)) / 2,
                     size(flow).height() - text.lineHeight() + text.ascent()));
    text.flush(painter);
  }

  void drawLine(QPainter& painter, const Flow& flow, const Line& line, double y) {
    if (line.kind == Line::Kind::Space) return;
    GlyphText& font = fontOf(line.kind);
    double baseline =
        y + font.ascent() + (line.kind == Line::Kind::Text ? 0.15 : 0.6) * font.lineHeight();
    for (const QStringView part : font.wrap(line.text, size(flow).width())) {
      font.add(painter, part, QPointF(0, baseline));
      baseline += font.lineHeight();
    }
    font.flush(painter);
  }

  void drawPage(QPainter& painter, std::size_t page) {
    const PageStart start = pages_[page];
    const Flow& flow = flows_[start.flow];
    const std::size_t end = page + 1 < pages_.size() && pages_[page + 1].flow == start.flow
                                ? pages_[page + 1].item
                                : flow.items();
    drawHeading(painter, flow, start.item, end, static_cast<int>(page) + 1);
    double y = headerHeight_;
    bool previousWasRow = false;
    for (std::size_t k = start.item; k < end; ++k) {
      if (const auto row = flow.rowOf(k)) {
        if (!previousWasRow) {
          flow.table->drawHeader(painter, y);
          y += flow.table->headerHeight();
        }
        const double h = flow.table->rowHeight(*row);
        flow.table->drawRow(painter, *row, y, h);
        y += h;
        previousWasRow = true;
        continue;
      }
      if (flow.table != nullptr) flow.table->flush(painter);
      const Line line = flow.lineOf(k);
      if (line.kind == Line::Kind::Space && k == start.item) continue;
      drawLine(painter, flow, line, y);
      y += lineHeight(flow, line);
      previousWasRow = false;
    }
    if (flow.table != nullptr) flow.table->flush(painter);
  }

  QPagedPaintDevice& device_;
  const runs::DeclarationContent& content_;
  mutable Fonts fonts_;  // glyphs are looked up once, whoever asks first
  QSizeF portrait_;
  QSizeF landscape_;
  double headerHeight_ = 0;
  double footerHeight_ = 0;
  std::optional<PrintedTable> l_;
  std::optional<PrintedTable> u_;
  std::vector<Flow> flows_;
  std::vector<PageStart> pages_;
};

}  // namespace

int paintDeclaration(QPagedPaintDevice& device, const runs::DeclarationContent& content,
                     char decimalSeparator) {
  Printout printout(device, content, decimalSeparator);
  return printout.draw() ? printout.pageCount() : 0;
}

bool writeDeclarationPdf(const runs::DeclarationContent& content, const QString& file,
                         char decimalSeparator, QString& error) {
  // The declaration drawn must not be what the PDF replaces.
  ReplacingFileDevice out(file.toStdString(), {content.file});
  if (!out.start()) {
    error = out.error();
    return false;
  }
  {
    QPdfWriter pdf(&out);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                       QPageLayout::Millimeter);
    pdf.setResolution(300);
    pdf.setTitle("KVD507 – " + QFileInfo(QString::fromStdString(content.file.string())).fileName());
    pdf.setCreator("kvd507");
    if (paintDeclaration(pdf, content, decimalSeparator) == 0) {
      error = out.error().isEmpty() ? QStringLiteral("nepavyko piešti PDF puslapių") : out.error();
      return false;
    }
  }
  if (!out.commit()) {
    error = out.error();
    return false;
  }
  return true;
}

}  // namespace kvd507::gui
