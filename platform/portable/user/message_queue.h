// The thread's message queue: posted and input messages.
#pragma once

#include "../../win32.h"

namespace portable::user {

bool PostInput(const MSG& msg);
bool QueueEmptyOfInput();
void DropQueuedMessages(HWND hwnd);

}  // namespace portable::user
