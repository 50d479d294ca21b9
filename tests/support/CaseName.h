#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace kvd507::test {

// A case's description as a GoogleTest name, which allows letters, digits and "_" only: every
// run of other characters becomes one "_". "seventeen-digit integer" is
// "seventeen_digit_integer".
std::string caseName(std::string_view description);

// Name generator for INSTANTIATE_TEST_SUITE_P over cases that describe themselves in `what`, so
// that a test's name says which case failed. Give the case type a PrintTo that prints `what`
// too, or GoogleTest prints the case as raw bytes.
struct NamedAfterWhat {
  template <class Case>
  std::string operator()(const testing::TestParamInfo<Case>& info) const {
    return caseName(info.param.what);
  }
};

}  // namespace kvd507::test
