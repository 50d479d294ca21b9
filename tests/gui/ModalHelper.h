#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace kvd507::test {

// Runs `act` on the next modal window as soon as it is shown, from inside its own event loop:
// a test prepares its answer first, then does what opens the window.
inline void whenModalShows(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    timer->stop();
    timer->deleteLater();
    act(modal);
  });
  timer->start();
}

}  // namespace kvd507::test
