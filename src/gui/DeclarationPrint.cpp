#include "gui/DeclarationPrint.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <vector>

#include "gui/DeclarationTables.h"
#include "gui/ReplacingFileDevice.h"

namespace kvd507::gui {
namespace {

constexpr double kMarginMm = 15.0;

// One line of the printed form.
struct Item {
  enum class Kind { Title, Text, Section, TableHeader, TableRow, Space };
  Kind kind = Kind::Text;
  QString text;
  const AppendixTable* table = nullptr;
  std::size_t row = 0;
};

struct Fonts {
  QFont title;
  QFont text;
  QFont section;
  QFont table;
  QFont tableBold;
};

Fonts makeFonts(QPaintDevice& device) {
  Fonts fonts;
  auto font = [&device](double points, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    f.setBold(bold);
    // Without shaping "ff" and "fi" do not become ligatures, so that the text
    // copied or searched in the PDF is the text of the form.
    f.setStyleStrategy(QFont::PreferNoShaping);
    return QFont(f, &device);
  };
  fonts.title = font(12, true);
  fonts.text = font(9, false);
  fonts.section = font(10, true);
  fonts.table = font(7, false);
  fonts.tableBold = font(7, true);
  return fonts;
}

class PageLayout {
 public:
  PageLayout(QPaintDevice& device, const Fonts& fonts) : fonts_(fonts) {
    mm_ = device.logicalDpiY() / 25.4;
    // The device's page is the printable area inside the margins already.
    width_ = device.width();
    height_ = device.height();
    headerHeight_ = QFontMetricsF(fonts.text).height() * 2.0;
    footerHeight_ = QFontMetricsF(fonts.text).height() * 1.6;
  }

  double width() const { return width_; }
  double height() const { return height_; }
  double bodyTop() const { return headerHeight_; }
  double bodyBottom() const { return height_ - footerHeight_; }

  double heightOf(const Item& item) const {
    switch (item.kind) {
      case Item::Kind::Title:
        return QFontMetricsF(fonts_.title).height() * 1.6;
      case Item::Kind::Section:
        return QFontMetricsF(fonts_.section).height() * 1.8;
      case Item::Kind::TableHeader:
      case Item::Kind::TableRow:
        return QFontMetricsF(fonts_.table).height() * 1.8;
      case Item::Kind::Space:
        return 3.0 * mm_;
      case Item::Kind::Text:
        break;
    }
    return QFontMetricsF(fonts_.text).height() * 1.3;
  }

 private:
  const Fonts& fonts_;
  double mm_ = 1.0;
  double width_ = 0;
  double height_ = 0;
  double headerHeight_ = 0;
  double footerHeight_ = 0;
};

std::vector<Item> itemsOf(const runs::DeclarationContent& content, const AppendixTable& l,
                          const AppendixTable& u, char separator) {
  std::vector<Item> items;
  auto text = [&items](Item::Kind kind, const QString& line) {
    items.push_back({kind, line, nullptr, 0});
  };
  text(Item::Kind::Title, "KVD507 forma");
  text(Item::Kind::Text,
       "Failas: " + QFileInfo(QString::fromStdString(content.file.string())).fileName());
  text(Item::Kind::Text, "Mokėtojo kodas (B_MM_ID): " + QString::fromStdString(content.header.id));
  text(Item::Kind::Text, "Mokėtojas (B_MM_Pavad): " + QString::fromStdString(content.payerName));
  text(Item::Kind::Text, "Metai (B_ML_Metai): " + QString::fromStdString(content.header.year));
  text(Item::Kind::Text, "Formos puslapių: " + QString::number(content.pages));
  for (const AppendixTable* table : {&l, &u}) {
    text(Item::Kind::Space, {});
    text(Item::Kind::Section,
         table->title + " priedas: eilučių " + QString::number(table->rows.size()));
    if (table->rows.empty()) continue;
    items.push_back({Item::Kind::TableHeader, {}, table, 0});
    for (std::size_t row = 0; row < table->rows.size(); ++row) {
      items.push_back({Item::Kind::TableRow, {}, table, row});
    }
  }
  text(Item::Kind::Space, {});
  text(Item::Kind::Section, "Sumos");
  for (const QString& line : totalsLines(content, separator)) text(Item::Kind::Text, line);
  text(Item::Kind::Space, {});
  text(Item::Kind::Section, "Pastabos");
  for (const QString& line : findingLines(content)) text(Item::Kind::Text, line);
  return items;
}

// The items of each page; a table row that starts a page gets its table's header first.
std::vector<std::vector<Item>> paginate(const std::vector<Item>& items, const PageLayout& page) {
  std::vector<std::vector<Item>> pages(1);
  double y = page.bodyTop();
  for (const Item& item : items) {
    const double h = page.heightOf(item);
    if (y + h > page.bodyBottom() && !pages.back().empty()) {
      pages.emplace_back();
      y = page.bodyTop();
      if (item.kind == Item::Kind::Space) continue;
      if (item.kind == Item::Kind::TableRow) {
        const Item header{Item::Kind::TableHeader, {}, item.table, 0};
        pages.back().push_back(header);
        y += page.heightOf(header);
      }
    }
    // A section title is not left alone at the foot of a page.
    pages.back().push_back(item);
    y += h;
  }
  return pages;
}

void drawTableLine(QPainter& painter, const Fonts& fonts, const PageLayout& page, double y,
                   double h, const Item& item) {
  const AppendixTable& table = *item.table;
  double total = 0;
  for (const int w : table.widths) total += w;
  const bool header = item.kind == Item::Kind::TableHeader;
  painter.setFont(header ? fonts.tableBold : fonts.table);
  const QFontMetricsF metrics(painter.font());
  const double pad = metrics.averageCharWidth() * 0.4;
  double x = 0;
  for (int column = 0; column < static_cast<int>(table.widths.size()); ++column) {
    const double w = page.width() * table.widths[static_cast<std::size_t>(column)] / total;
    const QString text = header ? table.shortHeaders[column] : table.rows[item.row][column];
    const QRectF cell(x + pad, y, w - 2 * pad, h);
    const bool right = table.rightAligned[static_cast<std::size_t>(column)];
    const int flags = static_cast<int>(Qt::AlignVCenter) |
                      static_cast<int>(right ? Qt::AlignRight : Qt::AlignLeft);
    painter.drawText(cell, flags, metrics.elidedText(text, Qt::ElideRight, cell.width()));
    x += w;
  }
  painter.setPen(QPen(QColor(160, 160, 160), 0));
  painter.drawLine(QPointF(0, y + h), QPointF(page.width(), y + h));
  painter.setPen(Qt::black);
}

void drawPage(QPainter& painter, const Fonts& fonts, const PageLayout& page,
              const std::vector<Item>& items, const runs::DeclarationContent& content, int number,
              int count) {
  painter.setPen(Qt::black);
  painter.setFont(fonts.text);
  const QFontMetricsF metrics(fonts.text);
  const QString heading = "KVD507 – " + QString::fromStdString(content.payerName) + " (" +
                          QString::fromStdString(content.header.id) + "), " +
                          QString::fromStdString(content.header.year) + " m.";
  painter.drawText(QRectF(0, 0, page.width(), metrics.height()), Qt::AlignLeft | Qt::AlignTop,
                   metrics.elidedText(heading, Qt::ElideRight, page.width()));
  painter.drawLine(QPointF(0, metrics.height() * 1.3),
                   QPointF(page.width(), metrics.height() * 1.3));
  painter.drawText(QRectF(0, page.height() - metrics.height(), page.width(), metrics.height()),
                   Qt::AlignHCenter | Qt::AlignBottom, QString("%1 iš %2").arg(number).arg(count));

  double y = page.bodyTop();
  for (const Item& item : items) {
    const double h = page.heightOf(item);
    switch (item.kind) {
      case Item::Kind::Title:
        painter.setFont(fonts.title);
        painter.drawText(QRectF(0, y, page.width(), h), Qt::AlignLeft | Qt::AlignVCenter,
                         item.text);
        break;
      case Item::Kind::Section:
        painter.setFont(fonts.section);
        painter.drawText(QRectF(0, y, page.width(), h), Qt::AlignLeft | Qt::AlignBottom, item.text);
        break;
      case Item::Kind::Text: {
        painter.setFont(fonts.text);
        const QFontMetricsF m(fonts.text);
        painter.drawText(QRectF(0, y, page.width(), h), Qt::AlignLeft | Qt::AlignVCenter,
                         m.elidedText(item.text, Qt::ElideRight, page.width()));
        break;
      }
      case Item::Kind::TableHeader:
      case Item::Kind::TableRow:
        drawTableLine(painter, fonts, page, y, h, item);
        break;
      case Item::Kind::Space:
        break;
    }
    y += h;
  }
}

}  // namespace

int paintDeclaration(QPagedPaintDevice& device, const runs::DeclarationContent& content,
                     char decimalSeparator) {
  const AppendixTable l = lAppendix(content);
  const AppendixTable u = uAppendix(content);
  const Fonts fonts = makeFonts(device);
  const PageLayout page(device, fonts);
  const std::vector<std::vector<Item>> pages =
      paginate(itemsOf(content, l, u, decimalSeparator), page);

  QPainter painter;
  if (!painter.begin(&device)) return 0;
  const int count = static_cast<int>(pages.size());
  for (int index = 0; index < count; ++index) {
    if (index > 0) device.newPage();
    drawPage(painter, fonts, page, pages[static_cast<std::size_t>(index)], content, index + 1,
             count);
  }
  painter.end();
  return count;
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
