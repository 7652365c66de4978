#include "saver_command.h"

#include <cstring>

namespace {

constexpr const char* SCR_USAGE = "the saver takes /s, /p HWND, /c, /c:HWND or /a";
constexpr const char* HACK_USAGE =
    "spirals takes --root, --window-id ID or --window, with --curves N and --speed S";
constexpr const char* CURVES_RANGE = "a number of curves from 2 to 11";
constexpr const char* SPEED_RANGE = "a speed from 0.1 to 15";
constexpr const char* COPY_SWITCH = "copy";
// Arguments are quoted back at most this long, so a refusal stays one short line.
constexpr size_t QUOTE_LIMIT = 40;

// `text` in quotes, cut short and with control bytes shown as '?'.
std::string quoted(const char* text) {
  std::string out = "\"";
  size_t n = 0;
  for (; text[n] != '\0' && n < QUOTE_LIMIT; ++n) {
    const unsigned char c = static_cast<unsigned char>(text[n]);
    out += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
  }
  if (text[n] != '\0') out += "...";
  return out + "\"";
}

SaverCommand refused(std::string problem) {
  SaverCommand command;
  command.problem = std::move(problem);
  return command;
}

SaverCommand with(SaverAction action, uint64_t window = 0) {
  SaverCommand command;
  command.action = action;
  command.window = window;
  return command;
}

bool parseDecimal(const char* text, uint64_t* value) {
  if (*text == '\0') return false;
  uint64_t v = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(*p - '0');
    if (v > (UINT64_MAX - digit) / 10) return false;
    v = v * 10 + digit;
  }
  *value = v;
  return true;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool parseHex(const char* text, uint64_t* value) {
  if (*text == '\0') return false;
  uint64_t v = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    const int digit = hexDigit(*p);
    if (digit < 0 || v > (UINT64_MAX >> 4)) return false;
    v = (v << 4) | static_cast<uint64_t>(digit);
  }
  *value = v;
  return true;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// "/copy", in either case and with either introducer, like the system's switches.
bool isCopySwitch(const char* arg) {
  if (arg[0] != '/' && arg[0] != '-') return false;
  size_t i = 0;
  for (; COPY_SWITCH[i] != '\0'; ++i) {
    if (lowerAscii(arg[i + 1]) != COPY_SWITCH[i]) return false;
  }
  return arg[i + 1] == '\0';
}

// A Windows window handle: unsigned decimal, not 0.
SaverCommand withHandle(SaverAction action, const char* text) {
  uint64_t handle = 0;
  if (!parseDecimal(text, &handle)) {
    return refused(quoted(text) + " is not a window handle (an unsigned decimal number)");
  }
  if (handle == 0) return refused("window handle 0 names no window");
  return with(action, handle);
}

// One comma-separated field of a copy's argument, advancing `*text` past it.
bool nextField(const char** text, std::string* field) {
  const char* comma = std::strchr(*text, ',');
  const char* end = comma != nullptr ? comma : *text + std::strlen(*text);
  field->assign(*text, end);
  *text = comma != nullptr ? comma + 1 : end;
  return comma != nullptr;
}

bool parseCoordinate(const std::string& text, int32_t* value) {
  const bool negative = !text.empty() && text[0] == '-';
  uint64_t magnitude = 0;
  if (!parseDecimal(text.c_str() + (negative ? 1 : 0), &magnitude)) return false;
  if (magnitude > (negative ? 0x80000000u : 0x7FFFFFFFu)) return false;
  *value = static_cast<int32_t>(negative ? -static_cast<int64_t>(magnitude)
                                         : static_cast<int64_t>(magnitude));
  return true;
}

SaverCommand copyCommand(const char* fields) {
  SaverCommand command;
  SaverCopy& copy = command.copy;
  int32_t* sides[] = {&copy.area.left, &copy.area.top, &copy.area.right, &copy.area.bottom};
  uint64_t* handles[] = {&copy.leader, &copy.ending, &copy.started};
  const char* rest = fields;
  std::string field;
  bool more = true;
  for (int32_t* side : sides) {
    more = nextField(&rest, &field);
    if (!more || !parseCoordinate(field, side)) return refused("/copy: malformed monitor");
  }
  for (uint64_t* handle : handles) {
    if (!more) return refused("/copy: missing handles");
    more = nextField(&rest, &field);
    if (!parseDecimal(field.c_str(), handle) || *handle == 0) return refused("/copy: bad handle");
  }
  if (more) return refused("/copy: too many fields");
  if (copy.area.right <= copy.area.left || copy.area.bottom <= copy.area.top) {
    return refused("/copy: an empty monitor");
  }
  command.action = SaverAction::FullScreenCopy;
  return command;
}

}  // namespace

std::string FormatSaverCopy(const SaverCopy& copy) {
  return std::to_string(copy.area.left) + "," + std::to_string(copy.area.top) + "," +
         std::to_string(copy.area.right) + "," + std::to_string(copy.area.bottom) + "," +
         std::to_string(copy.leader) + "," + std::to_string(copy.ending) + "," +
         std::to_string(copy.started);
}

bool ParseWindowId(const char* text, uint64_t* id) {
  if (text == nullptr) return false;
  uint64_t value = 0;
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  if (!(hex ? parseHex(text + 2, &value) : parseDecimal(text, &value))) return false;
  if (value == 0 || value > 0xFFFFFFFFu) return false;
  *id = value;
  return true;
}

SaverCommand ParseSaverArguments(int argc, const char* const* argv) {
  if (argc <= 1 || argv == nullptr) return with(SaverAction::Settings);
  const char* first = argv[1];
  if (first == nullptr) return with(SaverAction::Settings);
  if (isCopySwitch(first)) {
    if (argc != 3 || argv[2] == nullptr) return refused("/copy takes one argument");
    return copyCommand(argv[2]);
  }
  if ((first[0] != '/' && first[0] != '-') || first[1] == '\0') {
    return refused("unknown argument " + quoted(first) + ": " + SCR_USAGE);
  }
  const char letter = lowerAscii(first[1]);
  const char* rest = first + 2;
  // The handle follows a colon in the same argument, or a blank (the next argument).
  const char* handle = nullptr;
  int used = 2;
  if (*rest == ':') {
    handle = rest + 1;
  } else if (*rest != '\0') {
    return refused("unknown argument " + quoted(first) + ": " + SCR_USAGE);
  } else if (argc > 2 && argv[2] != nullptr) {
    handle = argv[2];
    used = 3;
  }
  if (letter != 's' && letter != 'p' && letter != 'c' && letter != 'a') {
    return refused("unknown argument " + quoted(first) + ": " + SCR_USAGE);
  }
  if (argc > used && argv[used] != nullptr) {
    return refused("unexpected argument " + quoted(argv[used]) + ": " + SCR_USAGE);
  }
  switch (letter) {
    case 's':
      if (handle != nullptr) return refused("/s takes no window handle, not " + quoted(handle));
      return with(SaverAction::FullScreen);
    case 'p':
      if (handle == nullptr) return refused("/p needs the handle of the window to preview in");
      return withHandle(SaverAction::Preview, handle);
    case 'c':
      return handle == nullptr ? with(SaverAction::Settings)
                               : withHandle(SaverAction::Settings, handle);
    default:
      return handle == nullptr ? with(SaverAction::ChangePassword)
                               : withHandle(SaverAction::ChangePassword, handle);
  }
}

SaverCommand ParseHackArguments(int argc, const char* const* argv,
                                const char* saverWindowVariable) {
  if (argc <= 1 || argv == nullptr) return with(SaverAction::Animate);
  bool root = false;
  bool ownWindow = false;
  bool idGiven = false;
  uint64_t id = 0;
  SaverSettings settings;
  bool settingGiven = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg == nullptr) break;
    if (arg[0] != '-') return refused("unexpected argument " + quoted(arg) + ": " + HACK_USAGE);
    const char* name = arg + (arg[1] == '-' ? 2 : 1);
    const char* equals = std::strchr(name, '=');
    const std::string key = equals != nullptr ? std::string(name, equals) : std::string(name);
    if (key == "help" || key == "h") return with(SaverAction::Help);
    if (key == "root" || key == "window") {
      if (equals != nullptr) return refused(quoted(arg) + ": --" + key + " takes no value");
      (key == "root" ? root : ownWindow) = true;
    } else if (key == "window-id") {
      const char* value = equals != nullptr ? equals + 1 : (i + 1 < argc ? argv[++i] : nullptr);
      if (value == nullptr) return refused("--window-id needs a window id (0x... or decimal)");
      if (!ParseWindowId(value, &id)) {
        return refused(quoted(value) + " is not a window id (0x... or decimal, not 0)");
      }
      idGiven = true;
    } else if (key == "curves" || key == "speed") {
      const bool curves = key == "curves";
      const char* value = equals != nullptr ? equals + 1 : (i + 1 < argc ? argv[++i] : nullptr);
      const char* range = curves ? CURVES_RANGE : SPEED_RANGE;
      if (value == nullptr) return refused("--" + key + " needs " + range);
      const bool ok = curves ? ParseSaverCurves(value, &settings.curves)
                             : ParseSaverSpeed(value, &settings.speed);
      if (!ok) return refused("--" + key + " " + quoted(value) + " is not " + range);
      settingGiven = true;
    } else {
      return refused("unknown option " + quoted(arg) + ": " + HACK_USAGE);
    }
  }
  SaverCommand command;
  if (idGiven) {
    command = with(SaverAction::WindowId, id);
  } else if (root) {
    if (saverWindowVariable != nullptr && *saverWindowVariable != '\0' &&
        !ParseWindowId(saverWindowVariable, &id)) {
      return refused("XSCREENSAVER_WINDOW is " + quoted(saverWindowVariable) + ", not a window id");
    }
    command = with(SaverAction::Root, id);
  } else if (ownWindow) {
    command = with(SaverAction::OwnWindow);
  } else if (settingGiven) {
    // The program itself keeps its random start-up.
    return refused(
        "--curves and --speed are screen-saver settings: add --root, --window-id ID "
        "or --window");
  } else {
    command = with(SaverAction::Animate);
  }
  command.settings = settings;
  return command;
}
