// The runtime's message loop.
#pragma once

#include <cstdint>

constexpr int32_t PUMP_WAIT = 0;
constexpr int32_t PUMP_DRAIN = 1;

int32_t PumpMessages(int32_t mode);
