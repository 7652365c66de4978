#!/usr/bin/python3
"""The browser build end to end: headless Chromium opens the page served on 127.0.0.1 and a
user's keys, wheel and mouse are sent to it over the DevTools protocol; what the page draws is
read back from its canvas and from the texts the program drew (window.spirals.textLog).

  page_test.py --page-dir DIR [--screenshot PNG]
"""
import argparse
import base64
import os
import re
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devtools  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WIDTH, HEIGHT = 800, 500
STATUS_ROWS = 16  # the System font's line
TITLE = "ZELVARI in KORVEX PRO"
TAIL = "       Mouse SX=Ridisegna  DX=Pausa  ESC=Esci          "
NORMAL_LINE = re.compile(r"^Velocita'\[ \+ - \] = (\S+)   Tipo\[ 1-9 \] = (\d+)" + re.escape(TAIL) + "$")
PAUSE_LINE = "Pausa - Mouse DX=Contnua  ESC=Esci          " + " " * 255

# Reads the canvas in the page: lit pixels, the status band, and the colours that changed
# since a mark.
PROBE = r"""
window.__probe = {
  data: function() {
    var c = document.getElementById('canvas');
    return c.getContext('2d').getImageData(0, 0, c.width, c.height);
  },
  mark: function() { this.marked = this.data(); return true; },
  summary: function(bandRows) {
    var img = this.data(), d = img.data, lit = 0, white = 0, other = 0, hash = 0;
    for (var i = 0, p = 0; i < d.length; i += 4, ++p) {
      var v = (d[i] << 16) | (d[i + 1] << 8) | d[i + 2];
      hash = (Math.imul(hash, 31) + v) | 0;
      var y = Math.floor(p / img.width);
      if (y < bandRows) {
        if (v === 0xFFFFFF) white++; else if (v !== 0) other++;
      } else if (v !== 0) {
        lit++;
      }
    }
    return {width: img.width, height: img.height, lit: lit, bandWhite: white,
            bandOther: other, hash: hash};
  },
  // The share of the pixels lit at the mark (below the band) that are still lit.
  survivors: function(bandRows) {
    var now = this.data().data, before = this.marked.data, lit = 0, kept = 0;
    for (var i = bandRows * this.marked.width * 4; i < before.length; i += 4) {
      if (before[i] || before[i + 1] || before[i + 2]) {
        lit++;
        if (now[i] || now[i + 1] || now[i + 2]) kept++;
      }
    }
    return lit ? kept / lit : null;
  },
  changedColours: function(bandRows) {
    var now = this.data(), before = this.marked, seen = {}, n = 0;
    if (!before || before.width !== now.width || before.height !== now.height) return null;
    var a = now.data, b = before.data;
    for (var i = bandRows * now.width * 4; i < a.length; i += 4) {
      if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) {
        var v = (a[i] << 16) | (a[i + 1] << 8) | a[i + 2];
        if (v !== 0 && !seen[v]) { seen[v] = true; n++; }
      }
    }
    return n;
  },
};
true
"""


def raise_speed(s):
    if 5 < s < 15:
        return s + 0.5
    if 1 < s <= 5:
        return s + 0.1
    if 0.5 < s <= 1:
        return s + 0.05
    if s <= 0.5:
        return s + 0.025
    return s


def lower_speed(s):
    if s > 2:
        s -= 0.25
    if 1 < s <= 2:
        s -= 0.1
    if 0.5 < s <= 1:
        s -= 0.1
    if 0.1 < s <= 0.5:
        s -= 0.05
    return s


def number_text(v):
    """The program's number text, without its leading blank."""
    return str(int(v)) if v == int(v) else f"{v:.2f}"


class BrowserPage(unittest.TestCase):
    """One visit, in order: start, keys, wheel, pause, resize, the end."""

    page_dir = None
    screenshot = None

    @classmethod
    def setUpClass(cls):
        cls.server = subprocess.Popen(
            [os.path.join(ROOT, "scripts", "serve-web"), "--quiet", cls.page_dir],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        cls.url = cls.server.stdout.readline().strip()
        if not cls.url.startswith("http://127.0.0.1:"):
            cls.server.kill()
            raise RuntimeError(f"serve-web printed no address: {cls.server.stderr.read()}")
        cls.browser = devtools.Chromium(WIDTH, HEIGHT)
        cls.page = cls.browser.page()
        cls.page.call("Runtime.enable")
        cls.page.call("Page.enable")
        cls.page.call("Emulation.setDeviceMetricsOverride", width=WIDTH, height=HEIGHT,
                      deviceScaleFactor=1, mobile=False)
        cls.page.call("Page.navigate", url=cls.url)
        cls.page.wait_for("window.spirals && spirals.textCount > 0 && spirals.frames > 0", 60,
                          "the program's first picture")
        cls.page.evaluate(PROBE)

    @classmethod
    def tearDownClass(cls):
        cls.page.close()
        cls.browser.close()
        cls.server.terminate()
        cls.server.wait(timeout=10)

    # Helpers.

    def texts_since(self, count):
        """Texts drawn after the first `count` (the page keeps the latest 500)."""
        return self.page.evaluate(
            f"(function() {{ var n = Math.max(0, spirals.textCount - {count});"
            " return n ? spirals.textLog.slice(Math.max(0, spirals.textLog.length - n)) : [];"
            " })()")

    def wait_for_line(self, count, predicate, what, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for entry in self.texts_since(count):
                if predicate(entry["text"]):
                    self.assertEqual((entry["x"], entry["y"]), (0, 0), entry["text"])
                    return entry["text"]
            time.sleep(0.05)
        self.fail(f"no {what} within {timeout} s; last texts: {self.texts_since(count)[-3:]}")

    def last_normal_line(self):
        for entry in reversed(self.page.evaluate("spirals.textLog")):
            m = NORMAL_LINE.match(entry["text"])
            if m:
                return float(m.group(1)), int(m.group(2))
        self.fail("no normal status line drawn")

    def key(self, key, code, vk, text=""):
        for kind in ("keyDown", "keyUp"):
            params = dict(type=kind, key=key, code=code, windowsVirtualKeyCode=vk,
                          nativeVirtualKeyCode=vk)
            if kind == "keyDown" and text:
                params["text"] = text
            self.page.call("Input.dispatchKeyEvent", **params)

    def click(self, button, x, y):
        masks = {"left": 1, "right": 2, "middle": 4}
        for kind in ("mousePressed", "mouseReleased"):
            self.page.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button,
                           buttons=masks[button] if kind == "mousePressed" else 0, clickCount=1)

    def wheel(self, delta_y):
        self.page.call("Input.dispatchMouseEvent", type="mouseWheel", x=WIDTH // 2,
                       y=HEIGHT // 2, deltaX=0, deltaY=delta_y)

    def summary(self):
        return self.page.evaluate(f"__probe.summary({STATUS_ROWS})")

    def curves_drawn(self, expected, tries=4, interval=0.25):
        """How many colours the newly drawn pixels have, over short intervals: a reseed (new
        colours) can fall into one of them, so the expected count may show in any."""
        seen = []
        for _ in range(tries):
            self.page.evaluate("__probe.mark()")
            time.sleep(interval)
            n = self.page.evaluate(f"__probe.changedColours({STATUS_ROWS})")
            seen.append(n)
            if n == expected:
                return seen
        self.fail(f"expected {expected} curves drawing, saw colour counts {seen}")

    def no_page_errors(self):
        errors = [e for e in self.page.events if e["method"] == "Runtime.exceptionThrown"]
        self.assertEqual(errors, [])

    # The visit.

    def test_1_start(self):
        s = self.summary()
        self.assertEqual((s["width"], s["height"]), (WIDTH, HEIGHT),
                         "the client area is the page")
        self.assertEqual(self.page.evaluate("[innerWidth, innerHeight]"), [WIDTH, HEIGHT])
        self.assertEqual(self.page.evaluate("document.title"), TITLE)
        self.assertTrue(self.page.evaluate("document.getElementById('status').hidden"))
        speed, last_curve = self.last_normal_line()
        self.assertIn(speed, [0.5, 1.5, 2.5, 3.5, 4.5, 5.5])
        self.assertIn(last_curve, range(1, 11))
        # White text on black in the band, curves below it.
        self.assertGreater(s["bandWhite"], 300)
        self.assertGreater(s["lit"], 200)
        self.curves_drawn(last_curve + 1)
        self.no_page_errors()

    def test_1_pictures_follow_the_animation_frames(self):
        # Over one second: the pictures copied to the canvas, and the browser's frames.
        counts = self.page.evaluate("""new Promise(function(done) {
          var frames = 0, first = spirals.frames, start = performance.now();
          function tick(now) {
            frames++;
            if (now - start < 1000) requestAnimationFrame(tick);
            else done([frames, spirals.frames - first]);
          }
          requestAnimationFrame(tick);
        })""")
        animation_frames, pictures = counts
        print(f"\n  one second: {animation_frames} animation frames, {pictures} pictures", end=" ")
        self.assertGreater(pictures, 0, "the animation shows")
        self.assertLessEqual(pictures, animation_frames + 1, "one picture per frame at most")

    def test_2_key_5_draws_six_curves(self):
        count = self.page.evaluate("spirals.textCount")
        self.key("5", "Digit5", 53, "5")
        line = self.wait_for_line(count, lambda t: NORMAL_LINE.match(t) is not None and
                                  NORMAL_LINE.match(t).group(2) == "5", "line with 5 curves")
        self.assertIn("   Tipo[ 1-9 ] = 5       Mouse", line)
        self.curves_drawn(6)
        # From now on every normal line says 5.
        count = self.page.evaluate("spirals.textCount")
        time.sleep(0.3)
        lines = [e["text"] for e in self.texts_since(count)]
        self.assertTrue(lines)
        for text in lines:
            self.assertRegex(text, r"Tipo\[ 1-9 \] = 5 ")
        # The keypad's 5, with NumLock on, is the same setting for the program; keypad 2 too.
        count = self.page.evaluate("spirals.textCount")
        self.key("2", "Numpad2", 98, "2")
        self.wait_for_line(count, lambda t: "Tipo[ 1-9 ] = 2 " in t, "line with keypad 2")
        count = self.page.evaluate("spirals.textCount")
        self.key("5", "Numpad5", 101, "5")
        self.wait_for_line(count, lambda t: "Tipo[ 1-9 ] = 5 " in t, "line with keypad 5")
        # A key the program does not use still prints the line, and changes nothing.
        count = self.page.evaluate("spirals.textCount")
        self.key("q", "KeyQ", 81, "q")
        self.wait_for_line(count, lambda t: "Tipo[ 1-9 ] = 5 " in t, "line after a letter")
        self.no_page_errors()

    def test_3_wheel_notches_change_the_speed(self):
        speed, _ = self.last_normal_line()
        raised = raise_speed(speed)
        count = self.page.evaluate("spirals.textCount")
        self.wheel(-100)  # one notch away from the user
        self.wait_for_line(count, lambda t: t.startswith(
            f"Velocita'[ + - ] = {number_text(raised)}   "), f"speed {number_text(raised)}")
        lowered = lower_speed(raised)
        count = self.page.evaluate("spirals.textCount")
        self.wheel(100)
        self.wait_for_line(count, lambda t: t.startswith(
            f"Velocita'[ + - ] = {number_text(lowered)}   "), f"speed {number_text(lowered)}")
        # The keyboard's plus and minus step the same ladders.
        count = self.page.evaluate("spirals.textCount")
        self.key("+", "NumpadAdd", 107, "+")
        again = raise_speed(lowered)
        self.wait_for_line(count, lambda t: t.startswith(
            f"Velocita'[ + - ] = {number_text(again)}   "), f"speed {number_text(again)}")
        if self.screenshot:
            shot = self.page.call("Page.captureScreenshot", format="png")
            with open(self.screenshot, "wb") as f:
                f.write(base64.b64decode(shot["data"]))
        self.no_page_errors()

    def test_4_right_button_pauses_and_resumes(self):
        count = self.page.evaluate("spirals.textCount")
        self.click("right", 300, 200)
        self.wait_for_line(count, lambda t: t == PAUSE_LINE, "pause line")
        time.sleep(0.2)
        before = self.summary()
        time.sleep(0.4)
        after = self.summary()
        self.assertEqual(before["hash"], after["hash"], "nothing is drawn while paused")
        self.assertEqual(before["bandOther"], 0)
        count = self.page.evaluate("spirals.textCount")
        self.click("right", 300, 200)
        self.wait_for_line(count, lambda t: NORMAL_LINE.match(t) is not None, "normal line")
        self.curves_drawn(6)
        self.no_page_errors()

    def test_4_left_button_clears_the_window(self):
        time.sleep(0.5)
        self.page.evaluate("__probe.mark()")
        self.click("left", 300, 200)
        time.sleep(0.2)
        kept = self.page.evaluate(f"__probe.survivors({STATUS_ROWS})")
        self.assertIsNotNone(kept)
        print(f"\n  still lit after the click: {kept:.3f}", end=" ")
        self.assertLess(kept, 0.3, "the old curves are gone, new ones begin")
        self.curves_drawn(6)

    def test_5_the_window_follows_the_page(self):
        count = self.page.evaluate("spirals.textCount")
        self.page.call("Emulation.setDeviceMetricsOverride", width=640, height=400,
                       deviceScaleFactor=1, mobile=False)
        self.page.wait_for("(function() { var c = document.getElementById('canvas');"
                           " return c.width === 640 && c.height === 400; })()", 10,
                           "a 640x400 canvas")
        self.wait_for_line(count, lambda t: NORMAL_LINE.match(t) is not None, "normal line")
        self.curves_drawn(6)
        s = self.summary()
        self.assertEqual((s["width"], s["height"]), (640, 400))
        self.assertGreater(s["lit"], 100)
        self.no_page_errors()

    def test_6_escape_ends_the_program(self):
        self.key("Escape", "Escape", 27)
        self.page.wait_for("spirals.exitCode !== null", 10, "the end of the program")
        self.assertEqual(self.page.evaluate("spirals.exitCode"), 0)
        self.assertFalse(self.page.evaluate("spirals.running"))
        status = self.page.evaluate("(function() { var s = document.getElementById('status');"
                                    " return [s.hidden, s.textContent]; })()")
        self.assertEqual(status, [False, "The program has ended (exit code 0)."])
        # The canvas keeps its last picture, and the page no longer listens.
        first = self.summary()
        self.assertGreater(first["lit"], 100)
        self.assertEqual((first["width"], first["height"]), (640, 400))
        count = self.page.evaluate("spirals.textCount")
        self.key("5", "Digit5", 53, "5")
        self.wheel(-100)
        time.sleep(0.5)
        self.assertEqual(self.summary()["hash"], first["hash"])
        self.assertEqual(self.page.evaluate("spirals.textCount"), count)
        self.no_page_errors()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page-dir", required=True)
    parser.add_argument("--screenshot")
    args, rest = parser.parse_known_args()
    if not os.path.isfile(os.path.join(args.page_dir, "spirals.html")):
        print(f"page_test: {args.page_dir} has no spirals.html (make web builds it)",
              file=sys.stderr)
        return 1
    BrowserPage.page_dir = os.path.abspath(args.page_dir)
    BrowserPage.screenshot = args.screenshot
    result = unittest.main(argv=[sys.argv[0], "-v", *rest], exit=False).result
    return 0 if result.wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
