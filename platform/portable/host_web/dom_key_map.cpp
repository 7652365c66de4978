#include "dom_key_map.h"

namespace portable {
namespace {

struct Named {
  std::string_view name;
  UINT vk;
};

// The keypad's digit keys: their digit with NumLock on, otherwise the key printed below it.
constexpr Named kKeypadNavigation[] = {
    {"Numpad0", VK_INSERT}, {"Numpad1", VK_END},          {"Numpad2", VK_DOWN},
    {"Numpad3", VK_NEXT},   {"Numpad4", VK_LEFT},         {"Numpad5", VK_CLEAR},
    {"Numpad6", VK_RIGHT},  {"Numpad7", VK_HOME},         {"Numpad8", VK_UP},
    {"Numpad9", VK_PRIOR},  {"NumpadDecimal", VK_DELETE},
};

constexpr Named kKeypadOperators[] = {
    {"NumpadAdd", VK_ADD},       {"NumpadSubtract", VK_SUBTRACT}, {"NumpadMultiply", VK_MULTIPLY},
    {"NumpadDivide", VK_DIVIDE}, {"NumpadEnter", VK_RETURN},
};

// Keys whose code does not depend on the layout.
constexpr Named kPositional[] = {
    {"Digit0", '0'},
    {"Escape", VK_ESCAPE},
    {"Enter", VK_RETURN},
    {"Tab", VK_TAB},
    {"Backspace", VK_BACK},
    {"Space", VK_SPACE},
    {"ArrowLeft", VK_LEFT},
    {"ArrowRight", VK_RIGHT},
    {"ArrowUp", VK_UP},
    {"ArrowDown", VK_DOWN},
    {"Home", VK_HOME},
    {"End", VK_END},
    {"PageUp", VK_PRIOR},
    {"PageDown", VK_NEXT},
    {"Insert", VK_INSERT},
    {"Delete", VK_DELETE},
    {"ShiftLeft", VK_SHIFT},
    {"ShiftRight", VK_SHIFT},
    {"ControlLeft", VK_CONTROL},
    {"ControlRight", VK_CONTROL},
    {"AltLeft", VK_MENU},
    {"AltRight", VK_MENU},
    {"MetaLeft", VK_LWIN},
    {"MetaRight", VK_RWIN},
    {"OSLeft", VK_LWIN},
    {"OSRight", VK_RWIN},
    {"ContextMenu", VK_APPS},
    {"CapsLock", VK_CAPITAL},
    {"NumLock", VK_NUMLOCK},
    {"ScrollLock", VK_SCROLL},
    {"Pause", VK_PAUSE},
    {"PrintScreen", VK_SNAPSHOT},
};

// Punctuation by the character the layout puts on the key, as Windows does for its OEM keys.
constexpr Named kPunctuationBySymbol[] = {
    {";", VK_OEM_1},     {"=", VK_OEM_PLUS},   {"+", VK_OEM_PLUS}, {",", VK_OEM_COMMA},
    {"-", VK_OEM_MINUS}, {".", VK_OEM_PERIOD}, {"/", VK_OEM_2},    {"`", VK_OEM_3},
    {"[", VK_OEM_4},     {"\\", VK_OEM_5},     {"]", VK_OEM_6},    {"'", VK_OEM_7},
};

// Punctuation keys whose character is none of the above: by position on a US keyboard.
constexpr Named kPunctuationByPosition[] = {
    {"Semicolon", VK_OEM_1},    {"Equal", VK_OEM_PLUS},    {"Comma", VK_OEM_COMMA},
    {"Minus", VK_OEM_MINUS},    {"Period", VK_OEM_PERIOD}, {"Slash", VK_OEM_2},
    {"Backquote", VK_OEM_3},    {"BracketLeft", VK_OEM_4}, {"Backslash", VK_OEM_5},
    {"BracketRight", VK_OEM_6}, {"Quote", VK_OEM_7},       {"IntlBackslash", VK_OEM_102},
};

template <size_t N>
UINT Find(const Named (&table)[N], std::string_view name) {
  for (const Named& n : table) {
    if (n.name == name) return n.vk;
  }
  return 0;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// "F1" to "F24": their number, else 0.
int FunctionKeyNumber(std::string_view code) {
  if (code.size() < 2 || code.size() > 3 || code[0] != 'F') return 0;
  int n = 0;
  for (char c : code.substr(1)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 24 ? n : 0;
}

UINT KeypadKey(std::string_view code, std::string_view key) {
  if (UINT vk = Find(kKeypadOperators, code)) return vk;
  if (code.size() == 7 && StartsWith(code, "Numpad") && code[6] >= '0' && code[6] <= '9') {
    // With NumLock on (and Shift up) the key types its digit.
    if (key.size() == 1 && key[0] == code[6]) return VK_NUMPAD0 + static_cast<UINT>(code[6] - '0');
    return Find(kKeypadNavigation, code);
  }
  if (code == "NumpadDecimal") {
    if (key == "." || key == ",") return VK_DECIMAL;
    return VK_DELETE;
  }
  return 0;
}

}  // namespace

UINT VirtualKeyFromDom(std::string_view code, std::string_view key) {
  if (StartsWith(code, "Numpad")) return KeypadKey(code, key);
  if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z')
    return 'A' + static_cast<UINT>(key[0] - 'a');
  if (key.size() == 1 && key[0] >= 'A' && key[0] <= 'Z') return static_cast<UINT>(key[0]);
  if (code.size() == 4 && StartsWith(code, "Key") && code[3] >= 'A' && code[3] <= 'Z') {
    return static_cast<UINT>(code[3]);
  }
  if (code.size() == 6 && StartsWith(code, "Digit") && code[5] >= '1' && code[5] <= '9') {
    return static_cast<UINT>(code[5]);
  }
  if (int f = FunctionKeyNumber(code)) return VK_F1 + static_cast<UINT>(f - 1);
  if (UINT vk = Find(kPositional, code)) return vk;
  if (UINT vk = Find(kPunctuationBySymbol, key)) return vk;
  if (UINT vk = Find(kPunctuationByPosition, code)) return vk;
  if (key.size() == 1 && key[0] >= '0' && key[0] <= '9') return static_cast<UINT>(key[0]);
  return 0;
}

}  // namespace portable
