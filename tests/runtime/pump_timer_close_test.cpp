// The message pump, timers and closing windows.
#include "runtime/core/global_lists.h"
#include "runtime/graphics/draw.h"
#include "runtime/window/pump.h"
#include "runtime/window/timers.h"
#include "runtime/window/window_open.h"
#include "runtime/window/event_dispatch.h"
#include "runtime_fixture.h"

namespace {

class PumpTest : public RuntimeTest {};

constexpr UINT TEST_MESSAGE = WM_USER + 7;

TEST_F(PumpTest, DrainingAnEmptyQueueReturnsAtOnce) {
  WindowRecord* r = Open(OPEN_DIRECT);
  UpdateWindow(r->hwnd);
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  EXPECT_EQ(PumpMessages(PUMP_DRAIN), 0);
  EXPECT_TRUE(EventLog().empty());
}

TEST_F(PumpTest, WaitingBlocksForAMessageThenEmptiesTheQueue) {
  WindowRecord* r = Open(OPEN_DIRECT);
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  PostMessageA(r->hwnd, TEST_MESSAGE, 1, 0);
  PostMessageA(r->hwnd, TEST_MESSAGE, 2, 0);
  EXPECT_EQ(PumpMessages(PUMP_WAIT), 0);
  ASSERT_EQ(CountEvents(TEST_MESSAGE), 2);
  EXPECT_EQ(EventLog()[IndexOfEvent(TEST_MESSAGE)].param1, 1u);
  MSG left;
  EXPECT_FALSE(PeekMessageA(&left, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(PumpTest, MessagesPostedWhileDrainingAreHandledInTheSameCall) {
  WindowRecord* r = Open(OPEN_DIRECT);
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  static WindowRecord* target = nullptr;
  target = r;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == static_cast<int32_t>(TEST_MESSAGE) && CurrentEvent.param1 < 5) {
      PostMessageA(target->hwnd, TEST_MESSAGE, CurrentEvent.param1 + 1, 0);
    }
    return 0;
  };
  PostMessageA(r->hwnd, TEST_MESSAGE, 1, 0);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(CountEvents(TEST_MESSAGE), 5);
}

TEST_F(PumpTest, KeysAreTranslatedIntoCharacters) {
  WindowRecord* r = Open(OPEN_DIRECT);
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  PostMessageA(r->hwnd, WM_KEYDOWN, 'A', 1);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(CountEvents(WM_KEYDOWN), 1);
  ASSERT_EQ(CountEvents(WM_CHAR), 1);
  EXPECT_GT(IndexOfEvent(WM_CHAR), IndexOfEvent(WM_KEYDOWN));
}

LRESULT CALLBACK ControlProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TEST_MESSAGE) {
    ++*reinterpret_cast<int*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST_F(PumpTest, MessagesOfAControlInsideARuntimeWindowAreDispatched) {
  WindowRecord* r = Open(OPEN_DIRECT);
  static ATOM atom = 0;
  if (atom == 0) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ControlProcedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RuntimeTestControl";
    atom = RegisterClassExA(&wc);
  }
  HWND control = CreateWindowExA(0, "RuntimeTestControl", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                                 r->hwnd, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(control, nullptr);
  int received = 0;
  SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
  PostMessageA(control, TEST_MESSAGE, 0, 0);
  PostMessageA(control, TEST_MESSAGE, 0, 0);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(received, 2);
  DestroyWindow(control);
}

TEST_F(PumpTest, ThreadMessagesAndMessagesOfGoneWindowsDoNoHarm) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HWND gone = r->hwnd;
  PostMessageA(gone, TEST_MESSAGE, 0, 0);
  PostMessageA(nullptr, TEST_MESSAGE, 0, 0);
  WindowClose(r);
  EventLog().clear();
  EXPECT_EQ(PumpMessages(PUMP_DRAIN), 0);
  EXPECT_EQ(CountEvents(TEST_MESSAGE), 0);
}

TEST_F(PumpTest, NestedPumpsSeeTheirOwnEventsAndRestoreTheOuterOne) {
  WindowRecord* r = Open(OPEN_DIRECT);
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  static WindowRecord* target = nullptr;
  static int32_t outerAfter = 0;
  static WPARAM outerParamAfter = 0;
  target = r;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_KEYDOWN) {
      PostMessageA(target->hwnd, TEST_MESSAGE, 99, 0);
      PumpMessages(PUMP_DRAIN);
      outerAfter = CurrentEvent.eventId;
      outerParamAfter = CurrentEvent.param1;
    }
    return 0;
  };
  PostMessageA(r->hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
  PumpMessages(PUMP_DRAIN);
  ASSERT_EQ(CountEvents(TEST_MESSAGE), 1);
  EXPECT_EQ(EventLog()[IndexOfEvent(TEST_MESSAGE)].param1, 99u);
  EXPECT_EQ(outerAfter, WM_KEYDOWN);
  EXPECT_EQ(outerParamAfter, static_cast<WPARAM>(VK_ESCAPE));
}

class TimerTest : public RuntimeTest {};

TEST_F(TimerTest, StartingARunningIdReplacesItsInterval) {
  WindowRecord* r = Open(OPEN_DIRECT);
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  TimerStart(r, 600000, 9, nullptr);
  TimerStart(r, 20, 9, nullptr);
  // The wait ends with the short interval's tick, not ten minutes later.
  while (CountEvents(WM_TIMER) == 0) PumpMessages(PUMP_WAIT);
  EXPECT_EQ(EventLog()[IndexOfEvent(WM_TIMER)].param1, 9u);
  TimerStop(r, 9);
  TimerStop(r, 9);     // stopping again does nothing
  TimerStop(r, 1234);  // nor does stopping an id that never ran
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  // One timer only: after the stop no tick comes, only the posted marker.
  Sleep(60);
  PostMessageA(r->hwnd, TEST_MESSAGE, 0, 0);
  PumpMessages(PUMP_WAIT);
  EXPECT_EQ(CountEvents(TEST_MESSAGE), 1);
  EXPECT_EQ(CountEvents(WM_TIMER), 0);
}

TEST_F(TimerTest, ClosedRecordStartsNoTimer) {
  WindowRecord* r = Open(OPEN_DIRECT);
  HWND gone = r->hwnd;
  WindowClose(r);
  EXPECT_EQ(TimerStart(r, 10, 3, nullptr), 0);
  EXPECT_EQ(TimerStop(r, 3), 0);
  EXPECT_EQ(r->hwnd, nullptr);
  EXPECT_FALSE(IsWindow(gone));
}

class CloseTest : public RuntimeTest {};

TEST_F(CloseTest, CloseFromAHandlerDeliversTheDestructionBeforeTheHandlerReturns) {
  WindowRecord* r = Open(0);
  PumpMessages(PUMP_DRAIN);
  EventLog().clear();
  static WindowRecord* target = nullptr;
  static size_t eventsAtReturn = 0;
  target = r;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_KEYDOWN && CurrentEvent.param1 == VK_ESCAPE) {
      WindowClose(target);
      eventsAtReturn = EventLog().size();
    }
    return 0;
  };
  HWND window = r->hwnd;
  TimerStart(r, 10, 1, nullptr);
  PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  PumpMessages(PUMP_DRAIN);
  const int key = IndexOfEvent(WM_KEYDOWN);
  const int destroy = IndexOfEvent(WM_DESTROY);
  const int ncDestroy = IndexOfEvent(WM_NCDESTROY);
  ASSERT_GE(key, 0);
  ASSERT_GT(destroy, key);
  ASSERT_GT(ncDestroy, destroy);
  EXPECT_LT(static_cast<size_t>(ncDestroy), eventsAtReturn);
  EXPECT_EQ(EventLog()[destroy].window, r);
  EXPECT_EQ(r->hwnd, nullptr);
  EXPECT_FALSE(IsWindow(window));
  // Deleted objects are forgotten, so a reopened record holds no stale handles.
  EXPECT_EQ(r->backingBitmap, nullptr);
  EXPECT_EQ(r->pen, nullptr);
  EXPECT_EQ(r->font, nullptr);
  // The window's timer ended with it.
  EventLog().clear();
  Sleep(30);
  PumpMessages(PUMP_DRAIN);
  EXPECT_EQ(CountEvents(WM_TIMER), 0);
}

TEST_F(CloseTest, ClosingAgainWhileBeingDestroyedIsHarmless) {
  WindowRecord* r = Open(OPEN_DIRECT);
  static WindowRecord* target = nullptr;
  target = r;
  HandlerAction() = [] {
    if (CurrentEvent.eventId == WM_DESTROY) WindowClose(target);
    return 0;
  };
  WindowClose(r);
  EXPECT_EQ(CountEvents(WM_DESTROY), 1);
  EXPECT_EQ(CountEvents(WM_NCDESTROY), 1);
  EXPECT_EQ(r->hwnd, nullptr);
  WindowClose(r);  // closed already: nothing happens
  EXPECT_EQ(CountEvents(WM_DESTROY), 1);
}

TEST_F(CloseTest, ReopenedRecordWorksAndDialogRecordsAreNotClosed) {
  WindowRecord* r = Open(0);
  WindowClose(r);
  ASSERT_EQ(WindowOpen(r, 10, 10, 100, 80, OPEN_DIRECT, nullptr, "again", RecordingHandler), 1);
  EXPECT_EQ(r->backingBitmap, nullptr);
  EXPECT_NE(r->pen, nullptr);
  r->isDialog = 1;
  WindowClose(r);
  EXPECT_TRUE(IsWindow(r->hwnd));
  r->isDialog = 0;
}

TEST_F(CloseTest, RegistryFreeReleasesDialogDataAndForgetsTheNodes) {
  EXPECT_EQ(WindowRegistryFree(), 0);  // empty: nothing to do
  EXPECT_EQ(WindowRegistry, nullptr);

  static WindowRecord dialog{};
  struct Item {
    Item* next;
    uint32_t kind;
    uint32_t id;
    void* attached;
  };
  Item* second = static_cast<Item*>(GlobalBlockAlloc(BLOCK_TYPE_BYTES, sizeof(Item)));
  Item* first = static_cast<Item*>(GlobalBlockAlloc(BLOCK_TYPE_BYTES, sizeof(Item)));
  ASSERT_NE(first, nullptr);
  first->next = second;
  first->attached = GlobalBlockAlloc(BLOCK_TYPE_BYTES, 16);
  void** data = static_cast<void**>(GlobalBlockAlloc(BLOCK_TYPE_BYTES, 4 * sizeof(void*)));
  data[0] = first;
  dialog.dialogData = data;
  dialog.isDialog = 1;
  auto* node = static_cast<WindowRegistryNode*>(
      GlobalBlockAlloc(BLOCK_TYPE_BYTES, sizeof(WindowRegistryNode)));
  auto* plain = static_cast<WindowRegistryNode*>(
      GlobalBlockAlloc(BLOCK_TYPE_BYTES, sizeof(WindowRegistryNode)));
  node->record = &dialog;
  node->next = plain;
  WindowRegistry = node;
  EXPECT_EQ(WindowRegistryFree(), 0);
  EXPECT_EQ(WindowRegistry, nullptr);
  EXPECT_EQ(dialog.dialogData, nullptr);
  EXPECT_EQ(WindowRegistryFree(), 0);  // a second call finds nothing to free twice
}

}  // namespace
