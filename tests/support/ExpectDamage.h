#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "spreadsheet/WorkbookError.h"

namespace kvd507::test {

// The error of type `E` that `action` throws, for the test to look at further; a test failure,
// and nothing, when it throws none. Any other exception goes on and fails the test.
template <class E = spreadsheet::WorkbookError, class Action>
std::optional<E> thrownBy(Action&& action) {
  try {
    std::forward<Action>(action)();
  } catch (const E& e) {
    return e;
  }
  ADD_FAILURE() << "no error";
  return std::nullopt;
}

// Expects `action` to fail on a damaged workbook: a WorkbookError that names `file` and whose
// detail holds `cause`. Returns the error for further checks.
template <class Action>
std::optional<spreadsheet::WorkbookError> expectDamage(const std::filesystem::path& file,
                                                       std::string_view cause, Action&& action) {
  std::optional<spreadsheet::WorkbookError> error = thrownBy(std::forward<Action>(action));
  if (error) {
    EXPECT_EQ(error->file(), file.string());
    EXPECT_NE(error->detail().find(cause), std::string::npos) << error->what();
  }
  return error;
}

}  // namespace kvd507::test
