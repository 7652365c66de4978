// The print statement (typed items into a window or to standard output) and number texts.
#pragma once

#include <cstdint>

#include "../window/window_record.h"

enum PrintItemType : uint32_t {
  PRINT_STRING = 0,
  PRINT_CHAR = 1,
  PRINT_INT = 2,
  PRINT_SINGLE = 3,
  PRINT_WINDOW = 9,
  PRINT_WORD = 13,
  PRINT_DOUBLE = 14,
  PRINT_INT64 = 17,
  PRINT_UINT64 = 18,
  PRINT_UINT = 19,
};

constexpr int32_t PRINT_BUFFER_SIZE = 0x7FFF;
constexpr int32_t NUMBER_TEXT_SIZE = 41;

// The item list is a stream of 32-bit words: each item is its type code followed by its value.
// 32-bit values take one word, 64-bit values two (low word first), and pointers as many words
// as a pointer has (one on 32-bit targets, two on 64-bit ones), low word first.
// PrintList builds such a stream.
class PrintList {
 public:
  PrintList& Window(WindowRecord* record);
  PrintList& String(const char* s);
  PrintList& Char(int32_t c);
  PrintList& Int(int32_t v);
  PrintList& Single(float v);
  PrintList& Word(uint32_t v);
  PrintList& Double(double v);
  PrintList& Int64(int64_t v);
  PrintList& UInt64(uint64_t v);
  PrintList& UInt(uint32_t v);
  // An item with any other type code and one value word (skipped by PrintItems).
  PrintList& Raw(uint32_t typeCode, uint32_t value);

  int32_t Count() const { return count_; }
  const uint32_t* Words() const { return words_; }
  // Prints the list with PrintItems.
  void Print() const;

 private:
  // An item that does not fit is left out whole; the count stays consistent with the words.
  PrintList& Item(uint32_t type, uint32_t value);
  PrintList& Item64(uint32_t type, uint64_t value);
  PrintList& ItemPointer(uint32_t type, const void* p);
  bool Room(int words) const;
  void Put(uint32_t w);
  void PutPointer(const void* p);
  static constexpr int MAX_WORDS = 64;
  uint32_t words_[MAX_WORDS] = {};
  int count_ = 0;
  int used_ = 0;
};

extern char PrintBuffer[PRINT_BUFFER_SIZE];
extern WindowRecord* PrintDestination;
extern int32_t PrintPrecision;

void PrintItems(int32_t count, const uint32_t* items);
char* NumberToString(double value);
int32_t Int64ToText(char* destination, int64_t value);
int32_t UInt64ToText(char* destination, uint64_t value);
