// The Windows saver's settings dialog by its ids: the dialog in the resource script
// (resources/saver.rc), its controls for the dialog's procedure and for tests that play the
// user. Plain macros, which the resource compiler reads too.
#pragma once

#define SETTINGS_DIALOG 200

#define SETTINGS_CURVES_ID 101        // drop-down list: "As drawn at start-up", 2 ... 11
#define SETTINGS_SPEED_ID 102         // edit: empty for as drawn, else 0.1 to 15
#define SETTINGS_EACH_MONITOR_ID 103  // radio buttons: one animation per monitor,
#define SETTINGS_ALL_MONITORS_ID 104  // or one across them all
