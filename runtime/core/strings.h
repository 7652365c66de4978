// Primitives on zero-terminated 8-bit strings.
#pragma once

#include <cstdint>

char* StringCopy(char* destination, const char* source);
int32_t StringLength(const char* s);
char* StringAppend(char* destination, const char* source);
// A new heap string, upper-cased with CharUpperA; null when the heap refuses the block.
char* StringUpperCopy(const char* s);
