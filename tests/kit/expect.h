// Expectations where Windows and our layer may both be right in different ways: the test lists
// every accepted value instead of asking which system it runs on.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>

namespace kit {

template <typename T>
::testing::AssertionResult OneOf(const T& actual, std::initializer_list<T> accepted) {
  std::ostringstream listed;
  for (const T& a : accepted) {
    if (actual == a) return ::testing::AssertionSuccess();
    listed << ' ' << a;
  }
  return ::testing::AssertionFailure() << actual << " is none of" << listed.str();
}

}  // namespace kit
