// One saver process per monitor, ending together: the /s process starts a copy of itself for
// every further monitor; input that ends any of them ends all, and none outlives another.
#pragma once

#include <vector>

#include "../saver_command.h"

// The /s process: starts one copy for each area and waits (ten seconds at most) until each has
// its window up, so that the window this process opens next is the active one. False when no
// copy could be started; the saver then runs alone.
bool StartSaverCopies(const std::vector<PlainRect>& areas);

// A copy: takes up the group's handles it inherited. False when they are not valid handles.
bool JoinSaverGroup(const SaverCopy& copy);

// For the saver's group hooks, after either call above.
// True once any member has ended or gone: the leader, a copy, or this group's end was asked.
bool SaverGroupEnded();
// This member's window is up (a copy tells the leader).
void SaverGroupOpened();
// This member's window is gone: the others are told to end; the leader waits for its copies
// (three seconds at most) before it ends.
void SaverGroupClosed();
