// The system's message queue of the Windows host's thread: taken in turns, and waited on.
#include <windows.h>

#include "../system_link.h"

namespace portable::win32 {

void DispatchSystemMessages() {
  // What was there when the look began: a message stamped later (a stream of mouse moves, a
  // timer come due) is the last one taken, so that the program's own turn comes round. Input is
  // stamped with the tick count of its event, so the ones waiting keep their places.
  const DWORD began = GetTickCount();
  MSG message;
  // No TranslateMessage: the layer makes its own characters from the keys it is given.
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageA(&message);
    if (static_cast<LONG>(message.time - began) > 0) break;
  }
}

bool WaitForSystemMessage(int timeoutMs) {
  return MsgWaitForMultipleObjectsEx(0, nullptr,
                                     timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs),
                                     QS_ALLINPUT, MWMO_INPUTAVAILABLE) != WAIT_TIMEOUT;
}

}  // namespace portable::win32
