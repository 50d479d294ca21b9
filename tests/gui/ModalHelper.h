#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace kvd507::test {

// An answer prepared for the next modal window: the timer that looks for the window, and
// whether it was found.
struct ModalAnswer {
  QTimer timer;
  bool given = false;
};

// The answers prepared during the running test. They are owned here rather than deleted from
// their own timeout, so that the end of a test can stop and delete every one of them, given or
// not.
inline std::vector<std::unique_ptr<ModalAnswer>>& preparedModalAnswers() {
  static std::vector<std::unique_ptr<ModalAnswer>> answers;
  return answers;
}

// Runs `act` on the next modal window as soon as it is shown, from inside its own event loop:
// a test prepares its answer first, then does what opens the window.
inline void whenModalShows(std::function<void(QWidget*)> act) {
  auto& answer = *preparedModalAnswers().emplace_back(std::make_unique<ModalAnswer>());
  answer.timer.setInterval(5);
  QObject::connect(&answer.timer, &QTimer::timeout, [&answer, act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    answer.timer.stop();
    answer.given = true;
    act(modal);
  });
  answer.timer.start();
}

// What a test left behind of modal windows.
struct ModalLeftovers {
  int answersNotGiven = 0;  // prepared for a window that never showed
  QStringList windowsLeftOpen;
};

// Stops and deletes the prepared answers, and closes the modal windows still shown, so that
// nothing of one test acts in the next.
inline ModalLeftovers clearModalLeftovers() {
  ModalLeftovers left;
  for (const auto& answer : preparedModalAnswers()) {
    if (!answer->given) ++left.answersNotGiven;
  }
  preparedModalAnswers().clear();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() || !window->isModal()) continue;
    left.windowsLeftOpen << window->windowTitle();
    window->close();
    window->hide();  // even one that refuses to close
  }
  // Windows that delete themselves on closing go now, not in some later test's event loop.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return left;
}

// After every test: what it prepared or opened and left is cleared, and the test fails for it.
// An answer that was never given means the window the test waited for never showed.
class ModalCleanup : public testing::EmptyTestEventListener {
 public:
  void OnTestEnd(const testing::TestInfo&) override {
    const ModalLeftovers left = clearModalLeftovers();
    EXPECT_EQ(left.answersNotGiven, 0) << "answers prepared for a modal window that never showed";
    EXPECT_TRUE(left.windowsLeftOpen.isEmpty())
        << "modal windows left open: " << left.windowsLeftOpen.join(", ").toStdString();
  }
};

}  // namespace kvd507::test
