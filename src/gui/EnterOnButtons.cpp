#include "gui/EnterOnButtons.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace kvd507::gui {
namespace {

constexpr const char* kFilterName = "kvd507-enter-presses-button";

class EnterPressesButton : public QObject {
 public:
  explicit EnterPressesButton(QObject* parent) : QObject(parent) {
    setObjectName(QLatin1String(kFilterName));
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button == nullptr) return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
    // A held key presses once: a repeat would press again behind the dialog the first opened.
    if (!key.isAutoRepeat()) button->click();
    return true;
  }
};

}  // namespace

void letEnterPressButtons() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return;
  if (application->findChild<QObject*>(QLatin1String(kFilterName), Qt::FindDirectChildrenOnly)) {
    return;
  }
  application->installEventFilter(new EnterPressesButton(application));
}

}  // namespace kvd507::gui
