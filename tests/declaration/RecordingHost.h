#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "declaration/DeclarationHeader.h"
#include "declaration/WriterHost.h"

namespace kvd507::test {

// A writer host that records every call in order, with the payer and year a window would have
// chosen: `header` turns a not-set header into that of a new declaration for them.
class RecordingHost : public declaration::WriterHost {
 public:
  RecordingHost(std::string payerCode, std::string payerName, std::string payerYear)
      : code(std::move(payerCode)), name(std::move(payerName)), year(std::move(payerYear)) {}

  void setStatus(std::string_view text) override { calls.push_back("status " + std::string(text)); }
  void processPendingEvents() override { calls.emplace_back("events"); }
  void setProgressMaximum(int maximum) override {
    calls.push_back("maximum " + std::to_string(maximum));
  }
  void stepProgress() override { calls.emplace_back("step"); }

  // What a run hands the writer: an extended declaration's own header, or a new one.
  declaration::DeclarationHeader header(const declaration::DeclarationHeader& existing) const {
    return existing.isExtended() ? existing : declaration::newDeclarationHeader(code, name, year);
  }

  std::string code;
  std::string name;
  std::string year;
  std::vector<std::string> calls;
};

}  // namespace kvd507::test
