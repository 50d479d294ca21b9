#include "gui/MiddleElision.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QStyle>

namespace kvd507::gui {
namespace {

// Paints the label's text elided, in place of the label's own painting.
class MiddleElisionPainter : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::Paint) return false;
    auto* label = static_cast<QLabel*>(watched);
    QPainter painter(label);
    label->style()->drawItemText(&painter, label->contentsRect(),
                                 static_cast<int>(label->alignment()), label->palette(),
                                 label->isEnabled(), middleElided(*label), label->foregroundRole());
    return true;
  }
};

}  // namespace

QString middleElided(const QLabel& label) {
  return label.fontMetrics().elidedText(label.text(), Qt::ElideMiddle,
                                        label.contentsRect().width());
}

void elideInTheMiddle(QLabel& label) {
  label.installEventFilter(new MiddleElisionPainter(&label));
}

}  // namespace kvd507::gui
