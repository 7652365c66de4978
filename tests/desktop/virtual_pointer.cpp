// desktop_virtual_pointer WIDTH HEIGHT COMMAND...: a mouse for a wlroots compositor (sway), made
// with its virtual-pointer protocol, as remote desktops make theirs. Commands, in order:
//   move X Y      the pointer to (X, Y) of the WIDTH x HEIGHT output
//   press B       button B (an evdev code: 272 left, 273 right) down; release B: up
//   wheel N       N notches of the wheel, towards the user when positive
//   sleep MS      a pause
// It waits a moment after making the mouse, so that clients can take it first. Exit code 0
// when every command was sent.
#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <ctime>

// The protocol's two interfaces, described here for libwayland: requests only, in the order
// the protocol numbers them.
extern const wl_interface virtual_pointer_interface;
namespace {

const wl_interface* kCreateTypes[] = {&wl_seat_interface, &virtual_pointer_interface};
const wl_interface* kNoTypes[] = {nullptr, nullptr, nullptr, nullptr, nullptr};

const wl_message kManagerRequests[] = {
    {"create_virtual_pointer", "?on", kCreateTypes},
    {"destroy", "", kNoTypes},
};

enum PointerRequest : uint32_t {
  kMotion,
  kMotionAbsolute,
  kButton,
  kAxis,
  kFrame,
  kAxisSource,
  kAxisStop,
  kAxisDiscrete,
  kDestroy,
};

const wl_message kPointerRequests[] = {
    {"motion", "uff", kNoTypes},   {"motion_absolute", "uuuuu", kNoTypes},
    {"button", "uuu", kNoTypes},   {"axis", "uuf", kNoTypes},
    {"frame", "", kNoTypes},       {"axis_source", "u", kNoTypes},
    {"axis_stop", "uu", kNoTypes}, {"axis_discrete", "uufi", kNoTypes},
    {"destroy", "", kNoTypes},
};

const wl_interface kManagerInterface = {
    "zwlr_virtual_pointer_manager_v1", 1, 2, kManagerRequests, 0, nullptr};

struct Globals {
  wl_seat* seat = nullptr;
  wl_proxy* manager = nullptr;
};

void Global(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
  auto* globals = static_cast<Globals*>(data);
  if (std::strcmp(interface, "wl_seat") == 0 && !globals->seat)
    globals->seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
  if (std::strcmp(interface, kManagerInterface.name) == 0 && !globals->manager)
    globals->manager =
        static_cast<wl_proxy*>(wl_registry_bind(registry, name, &kManagerInterface, 1));
}
void GlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistry = {Global, GlobalRemove};

uint32_t NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

}  // namespace

const wl_interface virtual_pointer_interface = {"zwlr_virtual_pointer_v1", 1, 9,
                                                kPointerRequests,          0, nullptr};

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: desktop_virtual_pointer WIDTH HEIGHT COMMAND...\n");
    return 2;
  }
  const uint32_t width = static_cast<uint32_t>(std::atoi(argv[1]));
  const uint32_t height = static_cast<uint32_t>(std::atoi(argv[2]));
  wl_display* display = wl_display_connect(nullptr);
  if (!display) {
    std::fprintf(stderr, "desktop_virtual_pointer: no Wayland compositor\n");
    return 1;
  }
  Globals globals;
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &kRegistry, &globals);
  wl_display_roundtrip(display);
  if (!globals.seat || !globals.manager) {
    std::fprintf(stderr, "desktop_virtual_pointer: the compositor makes no virtual pointers\n");
    return 1;
  }
  wl_proxy* pointer = wl_proxy_marshal_flags(globals.manager, 0, &virtual_pointer_interface, 1, 0,
                                             globals.seat, nullptr);
  wl_display_roundtrip(display);
  usleep(300 * 1000);
  auto send = [&](uint32_t opcode, auto... args) {
    wl_proxy_marshal_flags(pointer, opcode, nullptr, 1, 0, args...);
  };
  for (int i = 3; i < argc; ++i) {
    const std::string command = argv[i];
    auto number = [&](int at) { return at < argc ? std::atoi(argv[at]) : 0; };
    if (command == "move" && i + 2 < argc) {
      send(kMotionAbsolute, NowMs(), static_cast<uint32_t>(number(i + 1)),
           static_cast<uint32_t>(number(i + 2)), width, height);
      i += 2;
    } else if ((command == "press" || command == "release") && i + 1 < argc) {
      send(kButton, NowMs(), static_cast<uint32_t>(number(i + 1)),
           static_cast<uint32_t>(command == "press" ? WL_POINTER_BUTTON_STATE_PRESSED
                                                    : WL_POINTER_BUTTON_STATE_RELEASED));
      i += 1;
    } else if (command == "wheel" && i + 1 < argc) {
      const int notches = number(i + 1);
      send(kAxisSource, static_cast<uint32_t>(WL_POINTER_AXIS_SOURCE_WHEEL));
      send(kAxisDiscrete, NowMs(), static_cast<uint32_t>(WL_POINTER_AXIS_VERTICAL_SCROLL),
           wl_fixed_from_int(15 * notches), notches);
      i += 1;
    } else if (command == "sleep" && i + 1 < argc) {
      wl_display_roundtrip(display);
      usleep(static_cast<useconds_t>(number(i + 1)) * 1000);
      i += 1;
      continue;
    } else {
      std::fprintf(stderr, "desktop_virtual_pointer: unknown command %s\n", command.c_str());
      return 2;
    }
    send(kFrame);
    wl_display_roundtrip(display);
  }
  usleep(200 * 1000);
  wl_proxy_marshal_flags(pointer, kDestroy, nullptr, 1, WL_MARSHAL_FLAG_DESTROY);
  wl_proxy_marshal_flags(globals.manager, 1, nullptr, 1, WL_MARSHAL_FLAG_DESTROY);
  wl_seat_destroy(globals.seat);
  wl_registry_destroy(registry);
  wl_display_roundtrip(display);
  wl_display_disconnect(display);
  return 0;
}
