// For tests: every text drawn, one line each, "<ms> <x> <y> <text>", in the file that the
// environment variable SPIRALS_TEXT_LOG names.
#pragma once

#include <cstdint>
#include <cstdio>

namespace portable {

class TextLog {
 public:
  TextLog() = default;
  TextLog(const TextLog&) = delete;
  TextLog& operator=(const TextLog&) = delete;
  ~TextLog() { Close(); }

  // Appends to `path`; false when it cannot be opened.
  bool Open(const char* path);
  // Opens the file SPIRALS_TEXT_LOG names, if it names one; when it cannot, says so in one
  // line on standard error and goes on without.
  void OpenFromEnvironment();
  bool IsOpen() const { return file_ != nullptr; }
  // Line breaks and other control bytes in `text` become blanks so one call stays one line.
  void Write(uint64_t ms, int x, int y, const char* text, int length);
  void Close();

 private:
  FILE* file_ = nullptr;
};

}  // namespace portable
