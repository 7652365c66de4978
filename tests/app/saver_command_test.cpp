// Screen-saver command lines: what Windows passes a .scr, what XScreenSaver passes the
// program, and the refusals, which are one line each.
#include "app/saver_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

SaverCommand Scr(std::vector<const char*> args) {
  args.insert(args.begin(), "spirals.scr");
  return ParseSaverArguments(static_cast<int>(args.size()), args.data());
}

SaverCommand Hack(std::vector<const char*> args, const char* variable = nullptr) {
  args.insert(args.begin(), "spirals");
  return ParseHackArguments(static_cast<int>(args.size()), args.data(), variable);
}

void ExpectAction(const SaverCommand& c, SaverAction action, uint64_t window) {
  EXPECT_EQ(c.action, action) << c.problem;
  EXPECT_EQ(c.window, window);
  EXPECT_TRUE(c.problem.empty()) << c.problem;
}

TEST(ScrArguments, EachModeInEitherCaseAndWithEitherIntroducer) {
  ExpectAction(Scr({}), SaverAction::Settings, 0);
  for (const char* s : {"/s", "/S", "-s", "-S"}) ExpectAction(Scr({s}), SaverAction::FullScreen, 0);
  ExpectAction(Scr({"/p", "1234"}), SaverAction::Preview, 1234);
  ExpectAction(Scr({"/P", "1234"}), SaverAction::Preview, 1234);
  ExpectAction(Scr({"-p:77"}), SaverAction::Preview, 77);
  ExpectAction(Scr({"/c"}), SaverAction::Settings, 0);
  ExpectAction(Scr({"/C:5678"}), SaverAction::Settings, 5678);
  ExpectAction(Scr({"/c", "5678"}), SaverAction::Settings, 5678);
  ExpectAction(Scr({"/a"}), SaverAction::ChangePassword, 0);
  ExpectAction(Scr({"/A", "99"}), SaverAction::ChangePassword, 99);
  // The largest handle a number can name; the entry checks that it fits a handle.
  ExpectAction(Scr({"/p", "18446744073709551615"}), SaverAction::Preview, UINT64_MAX);
}

TEST(ScrArguments, BadHandlesAreRefusedWithTheirReason) {
  struct Case {
    std::vector<const char*> args;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {{"/p"}, "/p needs the handle of the window to preview in"},
      {{"/p", "abc"}, "\"abc\" is not a window handle (an unsigned decimal number)"},
      {{"/p", "0"}, "window handle 0 names no window"},
      {{"/p:"}, "\"\" is not a window handle (an unsigned decimal number)"},
      {{"/p", "-1"}, "\"-1\" is not a window handle (an unsigned decimal number)"},
      {{"/p", "+1"}, "\"+1\" is not a window handle (an unsigned decimal number)"},
      {{"/p", " 12"}, "\" 12\" is not a window handle (an unsigned decimal number)"},
      {{"/p", "12abc"}, "\"12abc\" is not a window handle (an unsigned decimal number)"},
      {{"/p", "0x10"}, "\"0x10\" is not a window handle (an unsigned decimal number)"},
      {{"/p", "18446744073709551616"},
       "\"18446744073709551616\" is not a window handle (an unsigned decimal number)"},
      {{"/c:0"}, "window handle 0 names no window"},
      {{"/s", "12"}, "/s takes no window handle, not \"12\""},
      {{"/s:12"}, "/s takes no window handle, not \"12\""},
  };
  for (const Case& c : cases) {
    const SaverCommand command = Scr(c.args);
    EXPECT_EQ(command.action, SaverAction::Refused) << c.args[0];
    EXPECT_EQ(command.problem, c.problem) << c.args[0];
  }
}

TEST(ScrArguments, UnknownAndSurplusArgumentsAreRefused) {
  const std::string usage = "the saver takes /s, /p HWND, /c, /c:HWND or /a";
  EXPECT_EQ(Scr({"/x"}).problem, "unknown argument \"/x\": " + usage);
  EXPECT_EQ(Scr({"s"}).problem, "unknown argument \"s\": " + usage);
  EXPECT_EQ(Scr({"/"}).problem, "unknown argument \"/\": " + usage);
  EXPECT_EQ(Scr({""}).problem, "unknown argument \"\": " + usage);
  EXPECT_EQ(Scr({"/sx"}).problem, "unknown argument \"/sx\": " + usage);
  EXPECT_EQ(Scr({"/p1234"}).problem, "unknown argument \"/p1234\": " + usage)
      << "a blank or a colon";
  EXPECT_EQ(Scr({"/p", "1", "2"}).problem, "unexpected argument \"2\": " + usage);
  EXPECT_EQ(Scr({"/c:1", "x"}).problem, "unexpected argument \"x\": " + usage);
  EXPECT_EQ(Scr({"/s", "12"}).action, SaverAction::Refused);
}

TEST(ScrArguments, QuotedArgumentsStayOneShortLine) {
  const std::string longArg(200, 'x');
  const std::string problem = Scr({"/p", longArg.c_str()}).problem;
  EXPECT_EQ(problem, "\"" + std::string(40, 'x') +
                         "...\" is not a window handle (an unsigned decimal number)");
  const SaverCommand control = Scr({"/p", "1\n2\t3\x7f"});
  EXPECT_EQ(control.problem, "\"1?2?3?\" is not a window handle (an unsigned decimal number)");
  EXPECT_EQ(control.problem.find('\n'), std::string::npos);
}

TEST(ScrArguments, NullArgumentsAreNoArguments) {
  EXPECT_EQ(ParseSaverArguments(0, nullptr).action, SaverAction::Settings);
  const char* args[] = {"spirals.scr", nullptr};
  EXPECT_EQ(ParseSaverArguments(2, args).action, SaverAction::Settings);
  const char* preview[] = {"spirals.scr", "/p", nullptr};
  EXPECT_EQ(ParseSaverArguments(3, preview).problem,
            "/p needs the handle of the window to preview in");
}

TEST(HackArguments, ModesAndTheirPrecedence) {
  ExpectAction(Hack({}), SaverAction::Animate, 0);
  ExpectAction(Hack({"--root"}), SaverAction::Root, 0);
  ExpectAction(Hack({"-root"}), SaverAction::Root, 0);
  ExpectAction(Hack({"--window-id", "0x2a"}), SaverAction::WindowId, 42);
  ExpectAction(Hack({"-window-id", "42"}), SaverAction::WindowId, 42);
  ExpectAction(Hack({"--window-id=0X1F"}), SaverAction::WindowId, 31);
  ExpectAction(Hack({"--window"}), SaverAction::OwnWindow, 0);
  ExpectAction(Hack({"-window"}), SaverAction::OwnWindow, 0);
  ExpectAction(Hack({"--root", "--window-id", "5"}), SaverAction::WindowId, 5);
  ExpectAction(Hack({"--window-id", "5", "--root"}, "0x9"), SaverAction::WindowId, 5);
  ExpectAction(Hack({"--window", "--root"}), SaverAction::Root, 0);
  ExpectAction(Hack({"--window-id", "5", "--window-id", "6"}), SaverAction::WindowId, 6);
  EXPECT_EQ(Hack({"--help"}).action, SaverAction::Help);
  EXPECT_EQ(Hack({"-h"}).action, SaverAction::Help);
  EXPECT_EQ(Hack({"--bogus", "--help"}).action, SaverAction::Refused)
      << "refused before help is seen";
}

TEST(HackArguments, RootTakesTheWindowXScreenSaverNames) {
  ExpectAction(Hack({"--root"}, "0x1a00003"), SaverAction::Root, 0x1a00003);
  ExpectAction(Hack({"--root"}, "27262979"), SaverAction::Root, 27262979);
  ExpectAction(Hack({"--root"}, ""), SaverAction::Root, 0);             // empty: as if unset
  ExpectAction(Hack({"--window"}, "junk"), SaverAction::OwnWindow, 0);  // only --root reads it
  const SaverCommand bad = Hack({"--root"}, "junk");
  EXPECT_EQ(bad.action, SaverAction::Refused);
  EXPECT_EQ(bad.problem, "XSCREENSAVER_WINDOW is \"junk\", not a window id");
  EXPECT_EQ(Hack({"--root"}, "0").problem, "XSCREENSAVER_WINDOW is \"0\", not a window id");
}

TEST(HackArguments, BadInputIsRefusedWithItsReason) {
  const std::string usage =
      "spirals takes --root, --window-id ID or --window, with --curves N and --speed S";
  EXPECT_EQ(Hack({"--window-id"}).problem, "--window-id needs a window id (0x... or decimal)");
  EXPECT_EQ(Hack({"--window-id", "abc"}).problem,
            "\"abc\" is not a window id (0x... or decimal, not 0)");
  EXPECT_EQ(Hack({"--window-id="}).problem, "\"\" is not a window id (0x... or decimal, not 0)");
  EXPECT_EQ(Hack({"--root=1"}).problem, "\"--root=1\": --root takes no value");
  EXPECT_EQ(Hack({"--window=1"}).problem, "\"--window=1\": --window takes no value");
  EXPECT_EQ(Hack({"--bogus"}).problem, "unknown option \"--bogus\": " + usage);
  EXPECT_EQ(Hack({"root"}).problem, "unexpected argument \"root\": " + usage);
  EXPECT_EQ(Hack({"-"}).problem, "unknown option \"-\": " + usage);
  EXPECT_EQ(Hack({"--"}).problem, "unknown option \"--\": " + usage);
  EXPECT_EQ(Hack({"--root", "extra"}).problem, "unexpected argument \"extra\": " + usage);
}

TEST(WindowIds, BothNotationsWithinThirtyTwoBits) {
  uint64_t id = 0;
  EXPECT_TRUE(ParseWindowId("0x1", &id));
  EXPECT_EQ(id, 1u);
  EXPECT_TRUE(ParseWindowId("0xFFFFFFFF", &id));
  EXPECT_EQ(id, 0xFFFFFFFFu);
  EXPECT_TRUE(ParseWindowId("4294967295", &id));
  EXPECT_EQ(id, 4294967295u);
  EXPECT_TRUE(ParseWindowId("0x00000abc", &id));
  EXPECT_EQ(id, 0xABCu);
  id = 7;
  for (const char* bad : {"", "0", "0x", "0x0", "0x100000000", "4294967296", "-5", "+5", " 5", "5 ",
                          "0xg", "12a", "0x-1", "99999999999999999999999", "0b101"}) {
    EXPECT_FALSE(ParseWindowId(bad, &id)) << bad;
    EXPECT_EQ(id, 7u) << bad << " left the id alone";
  }
  EXPECT_FALSE(ParseWindowId(nullptr, &id));
}

}  // namespace
