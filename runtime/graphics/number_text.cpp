// Number texts: a real as a heap string, and 64-bit integers in decimal for the print items.
#include <cmath>
#include <cstdio>

#include "../core/heap.h"
#include "print.h"

namespace {

constexpr double TWO_TO_63 = 9223372036854775808.0;
// No double has more than 1,074 decimals (2 to the -1074 is the smallest); a larger precision
// only adds zeros, and billions of them would make the C library allocate gigabytes.
constexpr int32_t EXACT_DECIMALS = 1074;

}  // namespace

char* NumberToString(double value) {
  char* text = static_cast<char*>(RuntimeHeapAlloc(NUMBER_TEXT_SIZE));
  if (text == nullptr) return nullptr;
  if (std::isnan(value)) {
    std::snprintf(text, NUMBER_TEXT_SIZE, " nan");
  } else if (std::isinf(value)) {
    std::snprintf(text, NUMBER_TEXT_SIZE, value < 0 ? " -inf" : " inf");
  } else if (value >= TWO_TO_63 || value < -TWO_TO_63) {
    // Integral at this size, but beyond 64-bit integers: an exponent form that fits.
    std::snprintf(text, NUMBER_TEXT_SIZE, " %.15e", value);
  } else {
    const int64_t whole = static_cast<int64_t>(value);  // truncates toward zero
    if (static_cast<double>(whole) == value) {
      std::snprintf(text, NUMBER_TEXT_SIZE, " %lld", static_cast<long long>(whole));
    } else {
      const int32_t precision = PrintPrecision < EXACT_DECIMALS ? PrintPrecision : EXACT_DECIMALS;
      std::snprintf(text, NUMBER_TEXT_SIZE, " %.*f", precision, value);
    }
  }
  return text;
}

int32_t UInt64ToText(char* destination, uint64_t value) {
  char digits[20];
  int32_t count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  for (int32_t i = 0; i < count; ++i) destination[i] = digits[count - 1 - i];
  destination[count] = ' ';
  destination[count + 1] = '\0';
  return count + 1;
}

int32_t Int64ToText(char* destination, int64_t value) {
  if (value < 0) {
    destination[0] = '-';
    // Negating in unsigned arithmetic gives the most negative value its true magnitude.
    return 1 + UInt64ToText(destination + 1, 0 - static_cast<uint64_t>(value));
  }
  return UInt64ToText(destination, static_cast<uint64_t>(value));
}
