// The run controller on its own, without the window: what it signals, in which order, and how a
// run is stopped, answered or left behind.
#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "WindowDriver.h"
#include "gui/RunController.h"
#include "runs/DesktopOpener.h"
#include "support/MemoryWorkbook.h"
#include "support/TempDir.h"

namespace kvd507::test {
namespace {

// A workbook of `lCount` L rows in `folder`, and a request to make a declaration from it there.
runs::RunRequest requestIn(const TempDir& folder, int lCount) {
  const std::string L = "KVD507 L";
  MemoryWorkbook book;
  book.sheet(L).sheet("KVD507 U");
  for (int i = 0; i < lCount; ++i) {
    book.text(L, 6 + i, 2, "L" + std::to_string(i)).number(L, 6 + i, 8, 10).text(L, 6 + i, 9, "5");
  }
  const std::filesystem::path workbook = folder / "in.xlsx";
  book.saveXlsx(workbook);
  runs::RunRequest request;
  request.workbookPath = workbook.string();
  request.workbookName = "in.xlsx";
  request.year = "2024";
  request.outputFile = folder / "KVD507.ffdata";
  request.askBeforeWriting = true;
  return request;
}

// Counts what the controller tells, in order.
struct Heard {
  std::vector<std::string> events;
  std::vector<QString> statuses;
  std::vector<runs::RunResult> results;
  int reviews = 0;

  void listen(gui::RunController& run) {
    QObject::connect(&run, &gui::RunController::started, [this] { events.push_back("started"); });
    QObject::connect(&run, &gui::RunController::progress, [this](const QString& status, int, int) {
      if (events.empty() || events.back() != "progress") {
        events.push_back("progress");
      }
      statuses.push_back(status);
    });
    QObject::connect(&run, &gui::RunController::finished, [this](const runs::RunResult& r) {
      events.push_back("finished");
      results.push_back(r);
    });
  }
};

TEST(RunController, SignalsStartProgressAndOneResultAsTheReviewIsAnswered) {
  struct Case {
    const char* what;
    bool write;  // the review's answer
    runs::RunOutcome outcome;
  };
  const Case cases[] = {
      {"written", true, runs::RunOutcome::Written},
      {"turned down in the review", false, runs::RunOutcome::Cancelled},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir folder;
    runs::NoOpener opener;
    Heard heard;
    gui::RunController run(opener, [&](const runs::WriteReview&) {
      ++heard.reviews;
      // The latest progress was shown before the question.
      EXPECT_FALSE(heard.statuses.empty());
      return c.write;
    });
    heard.listen(run);
    const runs::RunRequest request = requestIn(folder, 25);
    run.start(request);
    EXPECT_TRUE(run.running());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.results.empty(); }, 20000));
    EXPECT_FALSE(run.running());
    EXPECT_EQ(heard.events, (std::vector<std::string>{"started", "progress", "finished"}));
    EXPECT_EQ(heard.reviews, 1);
    ASSERT_EQ(heard.results.size(), 1u);
    EXPECT_EQ(heard.results[0].outcome, c.outcome);
    EXPECT_EQ(std::filesystem::exists(request.outputFile), c.write);
    EXPECT_EQ(run.request().workbookPath, request.workbookPath);
  }
}

TEST(RunController, ASecondStartDuringARunIsIgnoredAndStopEndsTheRun) {
  TempDir folder;
  runs::NoOpener opener;
  Heard heard;
  gui::RunController run(opener, [&](const runs::WriteReview&) {
    ++heard.reviews;
    return true;
  });
  heard.listen(run);
  RowGate gate(3);
  run.setRowHook(gate.hook());
  const runs::RunRequest first = requestIn(folder, 25);
  run.start(first);
  ASSERT_TRUE(gate.waitUntilPaused());
  runs::RunRequest second = first;
  second.outputFile = folder / "other.ffdata";
  run.start(second);
  EXPECT_EQ(run.request().outputFile, first.outputFile);
  run.stop();
  gate.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !heard.results.empty(); }, 20000));
  QTest::qWait(50);  // a second run would have been heard by now
  ASSERT_EQ(heard.results.size(), 1u);
  EXPECT_EQ(heard.results[0].outcome, runs::RunOutcome::Stopped);
  EXPECT_EQ(heard.reviews, 0);  // a stopped run asks nothing
  EXPECT_FALSE(std::filesystem::exists(first.outputFile));
  EXPECT_FALSE(std::filesystem::exists(second.outputFile));
  EXPECT_EQ(std::count(heard.events.begin(), heard.events.end(), "started"), 1);
}

TEST(RunController, ARunLeftBehindIsStoppedAndWaitedForWhenTheControllerGoes) {
  TempDir folder;
  runs::NoOpener opener;
  Heard heard;
  const runs::RunRequest request = requestIn(folder, 25);
  {
    RowGate gate(2);
    gui::RunController run(opener, [](const runs::WriteReview&) { return true; });
    heard.listen(run);
    run.setRowHook(gate.hook());
    run.start(request);
    ASSERT_TRUE(gate.waitUntilPaused());
    // Let go only once the controller is going, from the events it handles while it waits.
    QTimer::singleShot(0, [&gate] { gate.release(); });
  }
  // Nothing is told after the controller is gone, and nothing was written.
  QTest::qWait(50);
  EXPECT_TRUE(heard.results.empty());
  EXPECT_FALSE(std::filesystem::exists(request.outputFile));
}

}  // namespace
}  // namespace kvd507::test
