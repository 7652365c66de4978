// The print statement: typed items formatted into one buffer, then drawn into a window at its
// current position or written to standard output.
#include "print.h"

#include <cstdio>
#include <cstring>

#include "draw_context.h"

char PrintBuffer[PRINT_BUFFER_SIZE];
WindowRecord* PrintDestination = nullptr;
int32_t PrintPrecision = 2;

namespace {

HANDLE printOutput = nullptr;

// Room for one formatted value as long as the whole buffer, and its terminating zero.
char formatScratch[PRINT_BUFFER_SIZE + 1];

// Appends text to PrintBuffer; whatever does not fit in the buffer is cut.
class BufferWriter {
 public:
  void Append(const char* text, size_t length) {
    size_t room = PRINT_BUFFER_SIZE - used_;
    if (length > room) length = room;
    std::memcpy(PrintBuffer + used_, text, length);
    used_ += length;
  }
  // Formats one value with sprintf; only the part that still fits the buffer is kept.
  template <typename... Args>
  void Format(const char* format, Args... args) {
    const size_t room = PRINT_BUFFER_SIZE - used_;
    if (room == 0) return;
    int written = std::snprintf(formatScratch, room + 1, format, args...);
    if (written <= 0) return;
    Append(formatScratch, static_cast<size_t>(written));
  }
  // A real in "% .*f": digits beyond the buffer could never show, and asking the C library
  // for billions of them makes it allocate gigabytes, so the precision stops at the buffer.
  void Real(double value) {
    const int32_t precision =
        PrintPrecision < PRINT_BUFFER_SIZE ? PrintPrecision : PRINT_BUFFER_SIZE;
    Format("% .*f", precision, value);
  }
  size_t Used() const { return used_; }

 private:
  size_t used_ = 0;
};

const void* ReadPointer(const uint32_t* words) {
  uintptr_t value = 0;
  for (size_t i = 0; i < sizeof(void*) / 4; ++i) {
    value |= static_cast<uintptr_t>(words[i]) << (32 * i);
  }
  return reinterpret_cast<const void*>(value);
}

uint64_t Read64(const uint32_t* words) {
  return static_cast<uint64_t>(words[0]) | (static_cast<uint64_t>(words[1]) << 32);
}

constexpr size_t POINTER_WORDS = sizeof(void*) / 4;

void DrawIntoWindow(WindowRecord* record, size_t length) {
  // A final line break ends the statement; it is not drawn.
  if (length == 0) return;
  if (PrintBuffer[length - 1] == '\n') {
    if (--length == 0) return;
    if (PrintBuffer[length - 1] == '\r' && --length == 0) return;
  }
  HDC dc = DrawContextAcquire(record);
  TextOutA(dc, record->penPos.x, record->penPos.y, PrintBuffer, static_cast<int>(length));
  DrawContextRelease(record, dc, 1);
}

}  // namespace

void PrintItems(int32_t count, const uint32_t* items) {
  printOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  BufferWriter out;
  const uint32_t* word = items;
  for (int32_t i = 0; i < count && word != nullptr; ++i) {
    const uint32_t type = *word++;
    switch (type) {
      case PRINT_STRING: {
        const char* text = static_cast<const char*>(ReadPointer(word));
        word += POINTER_WORDS;
        if (text != nullptr) out.Append(text, std::strlen(text));
        break;
      }
      case PRINT_CHAR: {
        const char c = static_cast<char>(*word++);
        out.Append(&c, 1);
        break;
      }
      case PRINT_INT: out.Format("%d ", static_cast<int32_t>(*word++)); break;
      case PRINT_SINGLE: {
        float value = 0;
        std::memcpy(&value, word++, sizeof(value));
        out.Real(static_cast<double>(value));
        break;
      }
      case PRINT_WINDOW: {
        WindowRecord* record =
            const_cast<WindowRecord*>(static_cast<const WindowRecord*>(ReadPointer(word)));
        word += POINTER_WORDS;
        if (i == 0) PrintDestination = record;
        break;
      }
      case PRINT_WORD: out.Format("%hu ", static_cast<unsigned short>(*word++ & 0xFFFF)); break;
      case PRINT_DOUBLE: {
        const uint64_t bits = Read64(word);
        word += 2;
        double value = 0;
        std::memcpy(&value, &bits, sizeof(value));
        out.Real(value);
        break;
      }
      case PRINT_INT64: {
        char text[32];
        int32_t length = Int64ToText(text, static_cast<int64_t>(Read64(word)));
        word += 2;
        out.Append(text, static_cast<size_t>(length));
        break;
      }
      case PRINT_UINT64: {
        char text[32];
        int32_t length = UInt64ToText(text, Read64(word));
        word += 2;
        out.Append(text, static_cast<size_t>(length));
        break;
      }
      case PRINT_UINT: out.Format("%u ", static_cast<unsigned>(*word++)); break;
      default:
        ++word;  // unknown items are one word long
        break;
    }
  }

  const size_t length = out.Used();
  if (PrintDestination == nullptr) {
    DWORD written = 0;
    WriteFile(printOutput, PrintBuffer, static_cast<DWORD>(length), &written, nullptr);
    return;
  }
  DrawIntoWindow(PrintDestination, length);
}

// --- PrintList: builds the word stream ---

bool PrintList::Room(int words) const { return used_ + words <= MAX_WORDS; }

void PrintList::Put(uint32_t w) { words_[used_++] = w; }

void PrintList::PutPointer(const void* p) {
  const uintptr_t value = reinterpret_cast<uintptr_t>(p);
  for (size_t i = 0; i < POINTER_WORDS; ++i) {
    Put(static_cast<uint32_t>(static_cast<uint64_t>(value) >> (32 * i)));
  }
}

PrintList& PrintList::Item(uint32_t type, uint32_t value) {
  if (!Room(2)) return *this;
  Put(type);
  Put(value);
  ++count_;
  return *this;
}

PrintList& PrintList::Item64(uint32_t type, uint64_t value) {
  if (!Room(3)) return *this;
  Put(type);
  Put(static_cast<uint32_t>(value));
  Put(static_cast<uint32_t>(value >> 32));
  ++count_;
  return *this;
}

PrintList& PrintList::ItemPointer(uint32_t type, const void* p) {
  if (!Room(1 + static_cast<int>(POINTER_WORDS))) return *this;
  Put(type);
  PutPointer(p);
  ++count_;
  return *this;
}

PrintList& PrintList::Window(WindowRecord* record) { return ItemPointer(PRINT_WINDOW, record); }
PrintList& PrintList::String(const char* s) { return ItemPointer(PRINT_STRING, s); }
PrintList& PrintList::Char(int32_t c) { return Item(PRINT_CHAR, static_cast<uint32_t>(c)); }
PrintList& PrintList::Int(int32_t v) { return Item(PRINT_INT, static_cast<uint32_t>(v)); }
PrintList& PrintList::Single(float v) {
  uint32_t bits = 0;
  std::memcpy(&bits, &v, sizeof(bits));
  return Item(PRINT_SINGLE, bits);
}
PrintList& PrintList::Word(uint32_t v) { return Item(PRINT_WORD, v); }
PrintList& PrintList::Double(double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof(bits));
  return Item64(PRINT_DOUBLE, bits);
}
PrintList& PrintList::Int64(int64_t v) { return Item64(PRINT_INT64, static_cast<uint64_t>(v)); }
PrintList& PrintList::UInt64(uint64_t v) { return Item64(PRINT_UINT64, v); }
PrintList& PrintList::UInt(uint32_t v) { return Item(PRINT_UINT, v); }
PrintList& PrintList::Raw(uint32_t typeCode, uint32_t value) { return Item(typeCode, value); }

void PrintList::Print() const { PrintItems(count_, words_); }
