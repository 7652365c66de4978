// The headless runner's events file parser: what it accepts, and how it names what it refuses.
#include "platform/portable/host_headless/input_schedule.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using portable::ParseInputSchedule;
using portable::ScheduleParseResult;
using portable::ScriptedInputKind;

TEST(InputSchedule, UnknownInputIsNamedInTheMessage) {
  const ScheduleParseResult r = ParseInputSchedule("10 key 27\n20 keys 27\n");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.line, 2);
  EXPECT_EQ(r.error, "unknown input 'keys'");
  EXPECT_TRUE(r.inputs.empty());
}

TEST(InputSchedule, UnprintableBytesOfAnUnknownInputAreShownAsHex) {
  // An escape sequence or a byte of another code page must not reach the terminal as it is.
  EXPECT_EQ(ParseInputSchedule("5 k\xA9"
                               "ey 66\n")
                .error,
            "unknown input 'k\\xA9ey'");
  EXPECT_EQ(ParseInputSchedule("5 \x1B[2J\n").error, "unknown input '\\x1B[2J'");
  EXPECT_EQ(ParseInputSchedule(std::string("5 a\0b 1\n", 8)).error, "unknown input 'a\\x00b'");
}

TEST(InputSchedule, LongUnknownInputIsCutShort) {
  const ScheduleParseResult r = ParseInputSchedule("1 " + std::string(5000, 'z') + "\n");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.line, 1);
  EXPECT_EQ(r.error, "unknown input '" + std::string(24, 'z') + "...'");
}

TEST(InputSchedule, CarriageReturnsEndWordsAndEqualTimesKeepFileOrder) {
  const ScheduleParseResult r = ParseInputSchedule("7 key 66\r\n5 close\r\n7 key 65\r\n5 wheel -3");
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.inputs.size(), 4u);
  EXPECT_EQ(r.inputs[0].kind, ScriptedInputKind::Close);
  EXPECT_EQ(r.inputs[1].kind, ScriptedInputKind::Wheel);
  EXPECT_EQ(r.inputs[1].a, -3);
  EXPECT_EQ(r.inputs[2].a, 66);
  EXPECT_EQ(r.inputs[3].a, 65);
  EXPECT_EQ(r.inputs[3].atMs, 7u);
}

}  // namespace
