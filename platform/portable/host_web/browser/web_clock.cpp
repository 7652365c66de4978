#include "web_clock.h"

#include <emscripten/emscripten.h>

namespace portable {

WebClock::WebClock() : startMs_(emscripten_get_now()) {}

uint64_t WebClock::NowMs() const {
  const double elapsed = emscripten_get_now() - startMs_;
  return elapsed > 0 ? static_cast<uint64_t>(elapsed) : 0;
}

void WebClock::SleepMs(uint32_t ms) {
  const double until = emscripten_get_now() + ms;
  while (emscripten_get_now() < until) {
  }
}

}  // namespace portable
