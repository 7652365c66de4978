// The saver's settings: their ranges, the texts that give them (the hack's options, the
// registry's values), the copies' command lines, and what they change at start-up.
#include "app/saver_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/saver.h"
#include "app/saver_command.h"
#include "app/state.h"
#include "app_state_reset.h"
#include "runtime/core/numeric.h"

namespace {

SaverCommand Hack(std::vector<const char*> args) {
  args.insert(args.begin(), "spirals");
  return ParseHackArguments(static_cast<int>(args.size()), args.data(), nullptr);
}

SaverCommand Scr(std::vector<const char*> args) {
  args.insert(args.begin(), "spirals.scr");
  return ParseSaverArguments(static_cast<int>(args.size()), args.data());
}

TEST(SaverSettingTexts, CurvesAreWholeNumbersFromTwoToEleven) {
  int32_t n = 0;
  for (int32_t want = 2; want <= 11; ++want) {
    EXPECT_TRUE(ParseSaverCurves(std::to_string(want).c_str(), &n));
    EXPECT_EQ(n, want);
  }
  n = 7;
  for (const char* bad : {"", "0", "1", "12", "-3", "+3", " 3", "3 ", "3.0", "x", "4294967299"}) {
    EXPECT_FALSE(ParseSaverCurves(bad, &n)) << bad;
  }
  EXPECT_FALSE(ParseSaverCurves(nullptr, &n));
  EXPECT_EQ(n, 7) << "a refused text leaves the value alone";
}

TEST(SaverSettingTexts, SpeedsAreDecimalsFromATenthToFifteen) {
  const std::vector<std::pair<const char*, double>> good = {{"0.1", 0.1},
                                                            {"15", 15.0},
                                                            {"15.000", 15.0},
                                                            {"2.5", 2.5},
                                                            {".5", 0.5},
                                                            {"3.", 3.0},
                                                            {"0.10000000000000000001", 0.1}};
  for (const auto& [text, want] : good) {
    double s = 0.0;
    EXPECT_TRUE(ParseSaverSpeed(text, &s)) << text;
    EXPECT_EQ(s, want) << text;
  }
  double s = 9.0;
  for (const char* bad :
       {"", ".", "0.09", "0.0999", "15.01", "16", "0", "-1", "+1", "1e1", "1,5", " 1", "1 ",
        "1.2.3", "inf", "nan", "0x1", "123456789012345678901234567890123"}) {
    EXPECT_FALSE(ParseSaverSpeed(bad, &s)) << bad;
  }
  EXPECT_EQ(s, 9.0);
}

TEST(SaverSettingTexts, SpeedsAreWrittenShortAndReadBackTheSame) {
  EXPECT_EQ(FormatSaverSpeed(0.1), "0.1");
  EXPECT_EQ(FormatSaverSpeed(2.5), "2.5");
  EXPECT_EQ(FormatSaverSpeed(15.0), "15");
  // The ladders' sums are not short decimals, yet read back exactly.
  for (const double speed : {1.05 - 0.1, 1.0 / 3.0, 14.999999999999998}) {
    double back = 0.0;
    ASSERT_TRUE(ParseSaverSpeed(FormatSaverSpeed(speed).c_str(), &back)) << speed;
    EXPECT_EQ(back, speed);
  }
}

TEST(SaverSettingTexts, StoredValuesOutOfRangeOrMissingReadAsTheirDefaults) {
  const SaverSettings chosen = SaverSettingsFromStored(3u, std::string("2.5"), 1u);
  EXPECT_EQ(chosen.curves, 3);
  EXPECT_EQ(chosen.speed, 2.5);
  EXPECT_TRUE(chosen.acrossMonitors);
  EXPECT_EQ(SaverSettingsFromStored(11u, std::string("15"), 0u).curves, 11);
  for (const auto& [curves, speed, monitors] :
       std::vector<std::tuple<std::optional<uint32_t>, std::optional<std::string>,
                              std::optional<uint32_t>>>{
           {std::nullopt, std::nullopt, std::nullopt},
           {0u, std::string(""), 0u},
           {1u, std::string("0.05"), 2u},
           {12u, std::string("junk"), 0xFFFFFFFFu},
           {0xFFFFFFFFu, std::string("2.5\0", 4), std::nullopt}}) {
    const SaverSettings s = SaverSettingsFromStored(curves, speed, monitors);
    EXPECT_EQ(s.curves, 0);
    EXPECT_EQ(s.speed, 0.0);
    EXPECT_FALSE(s.acrossMonitors);
  }
}

TEST(HackSettings, CurvesAndSpeedInEitherFormWithASaverMode) {
  const SaverCommand a = Hack({"--root", "--curves", "3", "--speed", "2.5"});
  EXPECT_EQ(a.action, SaverAction::Root) << a.problem;
  EXPECT_EQ(a.settings.curves, 3);
  EXPECT_EQ(a.settings.speed, 2.5);
  const SaverCommand b = Hack({"-curves=11", "-speed=0.1", "-window"});
  EXPECT_EQ(b.action, SaverAction::OwnWindow) << b.problem;
  EXPECT_EQ(b.settings.curves, 11);
  EXPECT_EQ(b.settings.speed, 0.1);
  const SaverCommand c = Hack({"--window-id", "5", "--speed", "15", "--speed", "4"});
  EXPECT_EQ(c.settings.speed, 4.0) << "the last one counts";
  EXPECT_EQ(c.settings.curves, 0) << "not given: as drawn";
}

TEST(HackSettings, BadSettingsAreRefusedWithOneLine) {
  const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
      {{"--root", "--curves"}, "--curves needs a number of curves from 2 to 11"},
      {{"--root", "--speed"}, "--speed needs a speed from 0.1 to 15"},
      {{"--root", "--curves", "1"}, "--curves \"1\" is not a number of curves from 2 to 11"},
      {{"--root", "--curves=12"}, "--curves \"12\" is not a number of curves from 2 to 11"},
      {{"--root", "--speed", "-2"}, "--speed \"-2\" is not a speed from 0.1 to 15"},
      {{"--speed=fast", "--root"}, "--speed \"fast\" is not a speed from 0.1 to 15"},
      {{"--speed", "15.5", "--window"}, "--speed \"15.5\" is not a speed from 0.1 to 15"},
      {{"--curves", "3"},
       "--curves and --speed are screen-saver settings: add --root, --window-id ID or --window"},
  };
  for (const auto& [args, line] : cases) {
    const SaverCommand c = Hack(args);
    EXPECT_EQ(c.action, SaverAction::Refused) << line;
    EXPECT_EQ(c.problem, line);
  }
}

TEST(SaverCopies, TheCopysArgumentReadsBackAndDamagedOnesAreRefused) {
  SaverCopy copy;
  copy.area = PlainRect{-1920, -8, 0, 1072};
  copy.leader = 4;
  copy.ending = 0x1F4;
  copy.started = 18446744073709551615u;
  const std::string fields = FormatSaverCopy(copy);
  EXPECT_EQ(fields, "-1920,-8,0,1072,4,500,18446744073709551615");
  const SaverCommand c = Scr({"/copy", fields.c_str()});
  ASSERT_EQ(c.action, SaverAction::FullScreenCopy) << c.problem;
  EXPECT_EQ(c.copy.area.left, -1920);
  EXPECT_EQ(c.copy.area.top, -8);
  EXPECT_EQ(c.copy.area.right, 0);
  EXPECT_EQ(c.copy.area.bottom, 1072);
  EXPECT_EQ(c.copy.leader, 4u);
  EXPECT_EQ(c.copy.ending, 500u);
  EXPECT_EQ(c.copy.started, UINT64_MAX);
  for (const char* bad : {"", "0,0,10,10,1,2", "0,0,10,10,1,2,3,4", "0,0,10,10,1,0,3",
                          "0,0,0,10,1,2,3", "0,10,10,5,1,2,3", "0,0,10,10,1,2,x", "0,,10,10,1,2,3",
                          "2147483648,0,10,10,1,2,3", "0,0,10,10,-1,2,3", "0,0,10,10,1,2,3,"}) {
    EXPECT_EQ(Scr({"/copy", bad}).action, SaverAction::Refused) << bad;
  }
  EXPECT_EQ(Scr({"/copy"}).action, SaverAction::Refused);
  EXPECT_EQ(Scr({"-COPY", fields.c_str()}).action, SaverAction::FullScreenCopy);
  EXPECT_EQ(Scr({"/copy", fields.c_str(), "more"}).action, SaverAction::Refused);
}

TEST(SaverStartUp, SettingsReplaceTheDrawnValuesAndLeaveTheGeneratorAlone) {
  ResetAppState();
  RandomSeed(4242);
  const int32_t expectedNext = RandomInt(1000, 0);
  RandomSeed(4242);
  lastCurve = 7;
  speed = 3.5;
  applySaverSettings(SaverSettings{});
  EXPECT_EQ(lastCurve, 7);
  EXPECT_EQ(speed, 3.5);
  applySaverSettings(SaverSettings{3, 0.1, false});
  EXPECT_EQ(lastCurve, 2) << "three curves: slots 0 to 2";
  EXPECT_EQ(speed, 0.1);
  applySaverSettings(SaverSettings{11, 15.0, false});
  EXPECT_EQ(lastCurve, 10);
  EXPECT_EQ(speed, 15.0);
  applySaverSettings(SaverSettings{12, 15.5, false});
  EXPECT_EQ(lastCurve, 10) << "out of range: ignored";
  EXPECT_EQ(speed, 15.0);
  EXPECT_EQ(RandomInt(1000, 0), expectedNext) << "no draw was added or skipped";
}

}  // namespace
