#include "text_log.h"

#include <cstdlib>
#include <string>

namespace portable {

bool TextLog::Open(const char* path) {
  Close();
  file_ = std::fopen(path, "a");
  return file_ != nullptr;
}

void TextLog::OpenFromEnvironment() {
  const char* path = std::getenv("SPIRALS_TEXT_LOG");
  if (path == nullptr || *path == '\0') return;
  if (!Open(path)) std::fprintf(stderr, "spirals: cannot write the text log %s\n", path);
}

void TextLog::Write(uint64_t ms, int x, int y, const char* text, int length) {
  if (!file_) return;
  std::string line = std::to_string(ms) + ' ' + std::to_string(x) + ' ' + std::to_string(y) + ' ';
  for (int i = 0; text && i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    line += (c < 0x20 || c == 0x7F) ? ' ' : static_cast<char>(c);
  }
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fflush(file_);
}

void TextLog::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace portable
