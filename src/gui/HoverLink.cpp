#include "gui/HoverLink.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace kvd507::gui {
namespace {

void setHighlighted(QLabel& label, bool highlighted) {
  QFont font = label.font();
  font.setBold(highlighted);
  label.setFont(font);
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, highlighted ? QColor(0, 0, 255) : QColor(0, 0, 128));
  label.setPalette(palette);
  label.setCursor(highlighted ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

// Lives as the label's child, so that it goes with the label.
class LinkBehaviour : public QObject {
 public:
  LinkBehaviour(QLabel& label, std::function<void()> open)
      : QObject(&label), label_(label), open_(std::move(open)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != &label_) return false;
    switch (event->type()) {
      case QEvent::Enter:
        setHighlighted(label_, true);
        break;
      case QEvent::Leave:
        setHighlighted(label_, false);
        break;
      case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && open_) open_();
        break;
      default:
        break;
    }
    return false;
  }

 private:
  QLabel& label_;
  std::function<void()> open_;
};

}  // namespace

void makeHoverLink(QLabel& label, std::function<void()> open) {
  setHighlighted(label, false);
  label.installEventFilter(new LinkBehaviour(label, std::move(open)));
}

}  // namespace kvd507::gui
