#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "declaration/WriterHost.h"

namespace kvd507::test {

// A writer host that records every call in order and answers from lists that a test may set:
// each question takes the next answer, and the last one is repeated once the list runs out.
class RecordingHost : public declaration::WriterHost {
 public:
  RecordingHost(std::string code, std::string name, std::string year)
      : codes({std::move(code)}), names({std::move(name)}), years({std::move(year)}) {}

  void setStatus(std::string_view text) override { calls.push_back("status " + std::string(text)); }
  void processPendingEvents() override { calls.emplace_back("events"); }
  void setProgressMaximum(int maximum) override {
    calls.push_back("maximum " + std::to_string(maximum));
  }
  void stepProgress() override { calls.emplace_back("step"); }
  std::string payerCode() override { return answer("code", codes, codeCalls); }
  std::string payerName() override { return answer("name", names, nameCalls); }
  std::string year() override { return answer("year", years, yearCalls); }

  std::vector<std::string> codes;
  std::vector<std::string> names;
  std::vector<std::string> years;
  std::vector<std::string> calls;

 private:
  std::string answer(const char* what, const std::vector<std::string>& answers,
                     std::size_t& count) {
    calls.emplace_back(what);
    const std::size_t index = count < answers.size() ? count : answers.size() - 1;
    ++count;
    return answers[index];
  }

  std::size_t codeCalls = 0;
  std::size_t nameCalls = 0;
  std::size_t yearCalls = 0;
};

}  // namespace kvd507::test
