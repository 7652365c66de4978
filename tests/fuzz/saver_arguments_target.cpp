// The screen savers' command lines on both platforms with any arguments. The input is split at
// NUL bytes into arguments (the first one after the program name may instead be the value of
// XSCREENSAVER_WINDOW); each argument lives in a block of its own size and argv has no null
// after its last entry, so a read past either is caught.
//
// What must hold, whatever the bytes:
// - a refusal carries one short printable line; anything else carries none;
// - a window id is accepted exactly when an independent reading of it says so;
// - the .scr reads its switch without regard to letter case or '/' against '-', and a handle
//   after a colon is the same handle as one in the next argument;
// - the hack reads "-x" as "--x", and "--window-id=ID" as "--window-id ID".
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../../app/saver_command.h"
#include "fuzz_input.h"

namespace {

constexpr size_t MAX_ARGUMENTS = 6;
constexpr size_t MAX_PROBLEM = 200;

// Arguments as the system hands them over: each its own block, exactly as long as the text.
class Arguments {
 public:
  explicit Arguments(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) {
      blocks_.push_back(std::make_unique<char[]>(text.size() + 1));
      std::memcpy(blocks_.back().get(), text.c_str(), text.size() + 1);
      pointers_.push_back(blocks_.back().get());
    }
    pointers_.shrink_to_fit();
  }
  int Count() const { return static_cast<int>(pointers_.size()); }
  const char* const* Vector() const { return pointers_.empty() ? nullptr : pointers_.data(); }

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;
  std::vector<const char*> pointers_;
};

SaverCommand Scr(const std::vector<std::string>& texts) {
  const Arguments args(texts);
  return ParseSaverArguments(args.Count(), args.Vector());
}

SaverCommand Hack(const std::vector<std::string>& texts, const char* variable) {
  const Arguments args(texts);
  return ParseHackArguments(args.Count(), args.Vector(), variable);
}

void CheckShape(const SaverCommand& c, const char* which) {
  if (c.action == SaverAction::Refused) {
    if (c.problem.empty()) fuzz::Fail("%s: refused without a reason", which);
    if (c.problem.size() > MAX_PROBLEM) {
      fuzz::Fail("%s: a reason of %zu bytes is not one short line", which, c.problem.size());
    }
    for (const char ch : c.problem) {
      const auto u = static_cast<unsigned char>(ch);
      if (u < 0x20 || u == 0x7F) fuzz::Fail("%s: control byte %u in the reason", which, u);
    }
    if (c.window != 0)
      fuzz::Fail("%s: a refusal names window %llu", which,
                 static_cast<unsigned long long>(c.window));
  } else if (!c.problem.empty()) {
    fuzz::Fail("%s: accepted with a reason \"%s\"", which, c.problem.c_str());
  }
  const SaverSettings& s = c.settings;
  if (s.curves != 0 && (s.curves < SAVER_CURVES_LOW || s.curves > SAVER_CURVES_HIGH))
    fuzz::Fail("%s: %d curves accepted", which, s.curves);
  if (s.speed != 0.0 && !(s.speed >= SAVER_SPEED_LOW && s.speed <= SAVER_SPEED_HIGH))
    fuzz::Fail("%s: speed %g accepted", which, s.speed);
  const PlainRect& a = c.copy.area;
  if (c.action == SaverAction::FullScreenCopy && (a.right <= a.left || a.bottom <= a.top))
    fuzz::Fail("%s: a copy on an empty monitor", which);
}

bool SameMeaning(const SaverCommand& a, const SaverCommand& b) {
  if (a.action != b.action) return false;
  return a.action == SaverAction::Refused || a.window == b.window;
}

// A window id read the long way: "0x"/"0X" and hex digits, or decimal digits; 1 to 2^32 - 1.
bool ReferenceWindowId(std::string_view text, uint64_t* id) {
  int base = 10;
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t value = 0;
  for (const char ch : text) {
    int digit;
    if (ch >= '0' && ch <= '9') {
      digit = ch - '0';
    } else if (base == 16 && ch >= 'a' && ch <= 'f') {
      digit = ch - 'a' + 10;
    } else if (base == 16 && ch >= 'A' && ch <= 'F') {
      digit = ch - 'A' + 10;
    } else {
      return false;
    }
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return false;
  }
  if (value == 0) return false;
  *id = value;
  return true;
}

void CheckWindowId(const std::string& text) {
  uint64_t expected = 0, got = 0;
  const bool want = ReferenceWindowId(text, &expected);
  const bool have = ParseWindowId(text.c_str(), &got);
  if (want != have) {
    fuzz::Fail("window id \"%s\": %s, expected %s", text.c_str(), have ? "accepted" : "refused",
               want ? "accepted" : "refused");
  }
  if (want && got != expected) {
    fuzz::Fail("window id \"%s\" read as %llu, not %llu", text.c_str(),
               static_cast<unsigned long long>(got), static_cast<unsigned long long>(expected));
  }
}

void CheckScr(const std::vector<std::string>& texts) {
  const SaverCommand plain = Scr(texts);
  CheckShape(plain, ".scr");
  if (plain.action == SaverAction::Animate || plain.action == SaverAction::Help ||
      plain.action == SaverAction::Root || plain.action == SaverAction::WindowId ||
      plain.action == SaverAction::OwnWindow) {
    fuzz::Fail(".scr: a Linux action %d", static_cast<int>(plain.action));
  }
  const bool windowWanted = plain.action == SaverAction::Preview;
  const bool windowRefused = plain.action == SaverAction::FullScreen;
  if ((windowWanted && plain.window == 0) || (windowRefused && plain.window != 0)) {
    fuzz::Fail(".scr: action %d with window %llu", static_cast<int>(plain.action),
               static_cast<unsigned long long>(plain.window));
  }
  if (texts.size() < 2 || texts[1].size() < 2) return;

  // The switch in the other case and with the other introducer.
  std::vector<std::string> other = texts;
  char& letter = other[1][1];
  if (letter >= 'a' && letter <= 'z') {
    letter = static_cast<char>(letter - 'a' + 'A');
  } else if (letter >= 'A' && letter <= 'Z') {
    letter = static_cast<char>(letter - 'A' + 'a');
  }
  if (other[1][0] == '/') {
    other[1][0] = '-';
  } else if (other[1][0] == '-') {
    other[1][0] = '/';
  }
  if (!SameMeaning(plain, Scr(other))) {
    fuzz::Fail(".scr: \"%s\" and \"%s\" differ", texts[1].c_str(), other[1].c_str());
  }

  // "/p:N" against "/p N".
  if (texts.size() == 2 && texts[1].size() > 2 && texts[1][2] == ':') {
    const std::vector<std::string> split = {texts[0], texts[1].substr(0, 2), texts[1].substr(3)};
    const SaverCommand apart = Scr(split);
    CheckShape(apart, ".scr");
    // An empty handle after the colon is a bad handle; as a separate argument it is one too.
    if (!SameMeaning(plain, apart)) {
      fuzz::Fail(".scr: \"%s\" means something else than \"%s\" \"%s\"", texts[1].c_str(),
                 split[1].c_str(), split[2].c_str());
    }
  }
}

void CheckHack(const std::vector<std::string>& texts, const char* variable) {
  const SaverCommand plain = Hack(texts, variable);
  CheckShape(plain, "hack");
  if (plain.action == SaverAction::FullScreen || plain.action == SaverAction::Preview ||
      plain.action == SaverAction::Settings || plain.action == SaverAction::ChangePassword) {
    fuzz::Fail("hack: a Windows action %d", static_cast<int>(plain.action));
  }
  if (plain.action == SaverAction::WindowId && (plain.window == 0 || plain.window > 0xFFFFFFFFu)) {
    fuzz::Fail("hack: --window-id accepted window %llu",
               static_cast<unsigned long long>(plain.window));
  }
  if (plain.action == SaverAction::Root) {
    uint64_t id = 0;
    const bool named = variable != nullptr && *variable != '\0';
    if (named && (!ReferenceWindowId(variable, &id) || id != plain.window)) {
      fuzz::Fail("hack: --root with XSCREENSAVER_WINDOW=\"%s\" gave window %llu", variable,
                 static_cast<unsigned long long>(plain.window));
    }
    if (!named && plain.window != 0) fuzz::Fail("hack: --root without a variable named a window");
  }

  // Every "--x" as "-x" and every "-x" as "--x" (not "---x").
  std::vector<std::string> other = texts;
  bool changed = false;
  for (size_t i = 1; i < other.size(); ++i) {
    std::string& arg = other[i];
    if (arg.size() >= 3 && arg[0] == '-' && arg[1] == '-' && arg[2] != '-') {
      arg.erase(0, 1);
      changed = true;
    } else if (arg.size() >= 2 && arg[0] == '-' && arg[1] != '-') {
      arg.insert(0, 1, '-');
      changed = true;
    } else if (arg.empty() || arg[0] != '-') {
      break;  // perhaps the value of --window-id: leave the rest as it is
    }
  }
  if (changed && !SameMeaning(plain, Hack(other, variable))) {
    fuzz::Fail("hack: one dash and two dashes differ");
  }

  // "--window-id=ID" against "--window-id ID".
  for (size_t i = 1; i < texts.size(); ++i) {
    static constexpr std::string_view kWithValue = "--window-id=";
    if (texts[i].rfind(kWithValue, 0) != 0) continue;
    std::vector<std::string> split(texts.begin(), texts.begin() + static_cast<long>(i));
    split.push_back("--window-id");
    split.push_back(texts[i].substr(kWithValue.size()));
    split.insert(split.end(), texts.begin() + static_cast<long>(i) + 1, texts.end());
    if (!SameMeaning(plain, Hack(split, variable))) {
      fuzz::Fail("hack: \"%s\" means something else apart", texts[i].c_str());
    }
    break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const uint8_t how = in.U8();
  const bool withVariable = (how & 1) != 0;

  std::vector<std::string> pieces;
  std::string piece;
  while (!in.AtEnd() && pieces.size() < MAX_ARGUMENTS + 1) {
    const char ch = static_cast<char>(in.U8());
    if (ch == '\0') {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece += ch;
    }
  }
  if (!piece.empty() && pieces.size() < MAX_ARGUMENTS + 1) pieces.push_back(piece);

  std::string variable;
  if (withVariable && !pieces.empty()) {
    variable = pieces.front();
    pieces.erase(pieces.begin());
  }
  std::vector<std::string> texts = {"spirals"};
  texts.insert(texts.end(), pieces.begin(), pieces.end());

  for (size_t i = 1; i < texts.size(); ++i) CheckWindowId(texts[i]);
  if (withVariable) CheckWindowId(variable);
  CheckScr(texts);
  CheckHack(texts, withVariable ? variable.c_str() : nullptr);
  if ((how & 2) != 0) {
    // No arguments at all, and no argument vector.
    CheckShape(ParseSaverArguments(0, nullptr), ".scr");
    CheckShape(ParseHackArguments(0, nullptr, nullptr), "hack");
  }
  return 0;
}
