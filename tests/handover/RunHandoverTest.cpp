// The window's run path without Qt: a run on a thread of its own, as the window starts it, with
// the host the window gives it, and this test's own thread in the place of the interface's,
// taking the calls the host posts and the progress the run leaves. The thread checks run it
// (they cannot run the window itself), so that what the run hands to the interface and what
// it leaves there is checked for races.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "handover/RunHandover.h"
#include "handover/RunProgress.h"
#include "handover/WindowChoices.h"
#include "runs/ConversionRun.h"
#include "runs/FakeRunHost.h"
#include "support/MemoryWorkbook.h"
#include "support/TempDir.h"

namespace kvd507::handover {
namespace {

using test::MemoryWorkbook;
using test::TempDir;

// The interface thread's event queue: calls posted from any thread, run in order by the thread
// that runs loop().
class EventQueue {
 public:
  void post(std::function<void()> call) {
    {
      std::lock_guard lock(mutex_);
      calls_.push_back(std::move(call));
    }
    wake_.notify_one();
  }
  void quit() { post({}); }
  // Runs the calls posted until quit(); `idle` between them, as the window's progress timer.
  void loop(const std::function<void()>& idle) {
    for (;;) {
      std::function<void()> call;
      {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::milliseconds(1), [this] { return !calls_.empty(); });
        if (calls_.empty()) {
          lock.unlock();
          idle();
          continue;
        }
        call = std::move(calls_.front());
        calls_.pop_front();
      }
      if (!call) return;
      call();
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> calls_;
};

struct Shown {
  std::vector<std::string> messages;
  std::vector<std::string> findings;  // of every report, as the report dialog lists them
  std::vector<std::string> summaries;
  std::vector<std::string> statuses;
};

struct RunCase {
  const char* name;
  int rows;  // L rows, every one without an identifier; -1: no workbook chosen
  std::vector<std::string> messages;
  std::size_t findings;
};

void PrintTo(const RunCase& c, std::ostream* os) {
  *os << c.name;
}

class RunHandoverTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunHandoverTest, TheReviewIsHandedToTheInterfaceThreadAndTheResultBack) {
  const RunCase& c = GetParam();
  TempDir dir;
  WindowChoices choices;
  if (c.rows >= 0) {
    MemoryWorkbook book;
    book.sheet("KVD507 L").sheet("KVD507 U");
    for (int i = 0; i < c.rows; ++i) {
      book.text("KVD507 L", 6 + i, 2, "L" + std::to_string(i))
          .number("KVD507 L", 6 + i, 8, 10)
          .text("KVD507 L", 6 + i, 9, "01");
    }
    book.saveXlsx(dir / "in.xlsx");
    choices.setWorkbook({(dir / "in.xlsx").string(), "in.xlsx"});
  }
  choices.setPayer({"123456789", "UAB \"Mokėtojas\""});

  EventQueue interface;
  RunProgress progress;
  Shown shown;
  // The review is put to the user before every write, on the interface thread.
  RunHandover host(
      progress, [&interface](std::function<void()> call) { interface.post(call); },
      [&shown](const runs::WriteReview& review) {
        for (const rows::Finding& f : review.report.findings) {
          shown.findings.push_back(f.describe());
        }
        for (const std::string& line : runs::reviewFacts(review, ',')) {
          shown.summaries.push_back(line);
        }
        return true;
      });

  runs::RunRequest request;
  const WindowChoices::Workbook workbook = choices.workbook();
  request.workbookPath = workbook.path;
  request.workbookName = workbook.name;
  request.payerCode = choices.payer().code;
  request.payerName = choices.payer().name;
  request.year = choices.year();
  request.outputFile = dir / "formos" / "KVD507.ffdata";
  request.askBeforeWriting = true;
  test::FakeOpener opener;
  runs::RunResult result;
  std::thread run([&] {
    result = runs::runConversion(request, host, &host, opener);
    interface.quit();
  });
  RunProgress::Snapshot snapshot;
  interface.loop([&] {
    if (progress.take(snapshot)) shown.statuses.push_back(snapshot.status);
  });
  run.join();

  // The result is read once the run has ended, as the window does.
  for (const runs::RunMessage& m : result.messages) shown.messages.push_back(m.text);
  EXPECT_EQ(shown.messages, c.messages);
  EXPECT_EQ(shown.findings.size(), c.findings);
  EXPECT_EQ(shown.summaries.empty(), c.rows <= 0);
  EXPECT_EQ(result.written.has_value(), c.rows > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RunHandoverTest,
    ::testing::Values(
        // No identifier in any row: a finding each, the review handed over before the
        // writing thread saves the declaration.
        RunCase{"Written", 3, {}, 3},
        // More findings than are kept: the report handed over holds the count of the rest.
        RunCase{"ManyFindings", 1100, {}, 1001},
        RunCase{"NoWorkbook", -1, {"Darbaknygė nepasirinkta"}, 0},
        RunCase{"NoRecords", 0, {"\"in.xlsx\" faile įrašų nerasta."}, 0}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kvd507::handover
