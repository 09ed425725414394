"""A seeded random user: bursts of pointer, keyboard and window-manager input, each followed by a quiet second
after which the program must be alive, free of run-time errors and at rest in one of its two layouts.

KELVARA_RANDOM_SEED draws a run's input again (its timing differs); KELVARA_RANDOM_SECONDS bounds the run;
KELVARA_RANDOM_REPLAY names a file holding a printed run's input, to replay it (or a part of it) instead."""

import ast
import os
import random
import re
import sys
import time
import unittest

from harness import wait_for, window_geometry
from test_calculator import BACK, BOXES, CALCULATE, MINIMISE, DesktopTest

WIDTH, SHORT, TALL = 514, 282, 382
# Pixels inside the main window where a press would end the program: Close, and Exit in the tall window.
NO_PRESS = ((476, 4, 510, 38), (380, 320, 470, 362))
KEYS = ("Tab", "shift+Tab", "Return", "Escape", "space")
WORDS = ("abc", ".", "..", "1.2.3", "x9", "12a", "-", " ", "Fuel", "e5")
# Where the text boxes of the input panel rest, in pixels of the main window.
INPUT_PLACES = [(337, 48), (337, 88), (337, 128), (337, 168)]


def figure(rng):
    whole = str(rng.randint(1, 999))
    return whole if rng.random() < 0.5 else f"{whole}.{rng.randint(0, 99)}"


def car(rng):
    """The four figures of an ordinary car and fuel, which every calculation accepts."""
    return (str(rng.randint(20, 90)), str(rng.randint(1, 9)), str(rng.randint(200, 1000)),
            f"{rng.randint(1, 4)}.{rng.randint(0, 99):02}")


def text(rng):
    kind = rng.randrange(4)
    if kind == 0:
        return figure(rng)
    if kind == 1:
        return rng.choice(WORDS)
    if kind == 2:
        return "".join(rng.choice("0123456789") for _ in range(rng.randint(12, 40)))
    return "".join(rng.choice("0123456789.abcXYZ ") for _ in range(rng.randint(12, 40)))


def point(rng):
    """A pixel of the main window or just beyond it, never one that presses Close or Exit."""
    while True:
        x, y = rng.randint(-20, WIDTH + 20), rng.randint(-20, TALL + 20)
        if not any(x0 <= x <= x1 and y0 <= y <= y1 for x0, y0, x1, y1 in NO_PRESS):
            return x, y


# Each action draws all its values before it looks at the program, so a seed gives the same input every run.
ACTIONS = (
    (6, "move", lambda rng: point(rng)),
    (6, "click", lambda rng: (rng.choice((1, 1, 1, 2, 3)), *point(rng))),
    (3, "double-click", lambda rng: (rng.choice((1, 1, 2, 3)), *point(rng))),
    (3, "drag", lambda rng: (rng.choice((1, 2, 3)), *point(rng), *point(rng))),
    (5, "type-into", lambda rng: (rng.randrange(4), text(rng))),
    (3, "type", lambda rng: (text(rng),)),
    (6, "key", lambda rng: (rng.choice(KEYS),)),
    (5, "figures", lambda rng: (rng.random() < 0.7, *car(rng))),
    (6, "calculate", lambda rng: ()),
    (4, "back", lambda rng: ()),
    (3, "ok", lambda rng: ()),
    (2, "close-alert", lambda rng: (rng.choice(("wmctrl", "alt+F4")),)),
    (2, "minimise", lambda rng: (rng.choice(("button", "xdotool")),)),
    (2, "restore", lambda rng: (rng.choice(("wmctrl", "xdotool")),)),
    (2, "resize", lambda rng: (rng.choice(("maximise", "windowsize", "alt+right-drag")),)),
)


class RandomUser(DesktopTest):
    def test_random_user(self):
        replay = os.environ.get("KELVARA_RANDOM_REPLAY")
        seed = int(os.environ.get("KELVARA_RANDOM_SEED") or random.SystemRandom().randrange(1 << 32))
        seconds = float(os.environ.get("KELVARA_RANDOM_SECONDS") or 60)
        print(f"random user: {'replaying ' + replay if replay else f'seed {seed}, {seconds:g} s'}",
              file=sys.stderr, flush=True)
        self.events = []
        self.began = time.monotonic()
        self.stand_in_url_handler()
        checks = 0
        try:
            for burst in (self.replayed(replay) if replay else self.drawn(seed, seconds)):
                self.ended_by_key = False
                for name, values in burst:
                    self.act(name, values)
                self.log("rest")
                time.sleep(1.0)  # the quiet second: the program must come to rest by itself
                self.check_at_rest()
                checks += 1
        except AssertionError as failure:
            events = "\n".join(self.events)
            raise AssertionError(f"{failure}\nseed {seed}: run again with KELVARA_RANDOM_SEED={seed}, or replay "
                                 f"the input below saved to a file with KELVARA_RANDOM_REPLAY=FILE:\n{events}"
                                 ) from failure
        print("\n".join(self.events), file=sys.stderr)
        print(f"random user: {len(self.events)} events, {checks} checks at rest", file=sys.stderr)
        self.assertGreater(checks, 0)

    @staticmethod
    def drawn(seed, seconds):
        rng = random.Random(seed)
        weights = [weight for weight, _, _ in ACTIONS]
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            burst = []
            for _ in range(rng.randint(1, 6)):
                _, name, draw = rng.choices(ACTIONS, weights)[0]
                burst.append((name, draw(rng)))
            yield burst

    @staticmethod
    def replayed(path):
        """The bursts of a printed run: its action lines, each "rest" line ending a burst."""
        burst = []
        with open(path) as events:
            for line in events:
                fields = line.split(None, 2)
                if len(fields) < 2 or not re.fullmatch(r"[0-9]+\.[0-9]+", fields[0]) or fields[1] == "|":
                    continue
                if fields[1] == "rest":
                    yield burst
                    burst = []
                else:
                    burst.append((fields[1], ast.literal_eval(fields[2])))

    def log(self, entry):
        self.events.append(f"{time.monotonic() - self.began:7.2f}  {entry}")

    def note(self, entry):
        self.log("| " + entry)

    def stand_in_url_handler(self):
        stand_in = os.path.join(self.home, "xdg-open")
        with open(stand_in, "w") as script:
            script.write("#!/bin/sh\nexit 0\n")
        os.chmod(stand_in, 0o755)

    # Input.

    def act(self, name, values):
        self.log(f"{name} {values!r}")
        getattr(self, "do_" + name.replace("-", "_"))(*values)

    def to_screen(self, x, y):
        left, top, _, _ = self.geometry()
        return str(left + x), str(top + y)

    def press_point(self, x, y):
        """The point moved into the main window, where presses belong: one on the desktop opens the window
        manager's menu, which holds the keyboard. None when that part of the window is off the screen."""
        left, top, width, height = self.geometry()
        x, y = left + min(max(x, 0), width - 1), top + min(max(y, 0), height - 1)
        return (str(x), str(y)) if 0 <= x < 1024 and 0 <= y < 768 else None

    def do_move(self, x, y):
        self.xdotool("mousemove", *self.to_screen(x, y))

    def do_click(self, button, x, y):
        if at := self.press_point(x, y):
            self.xdotool("mousemove", *at, "click", str(button))

    def do_double_click(self, button, x, y):
        if at := self.press_point(x, y):
            self.xdotool("mousemove", *at, "click", "--repeat", "2", "--delay", "60", str(button))

    def do_drag(self, button, x0, y0, x1, y1):
        start, end = self.press_point(x0, y0), self.to_screen(x1, y1)
        if start is None:
            return
        steps = [(int(start[0]) + (int(end[0]) - int(start[0])) * i // 5,
                  int(start[1]) + (int(end[1]) - int(start[1])) * i // 5) for i in range(1, 6)]
        moves = [arg for x, y in steps for arg in ("mousemove", str(x), str(y), "sleep", "0.02")]
        self.xdotool("mousemove", *start, "mousedown", str(button), *moves, "mouseup", str(button))

    def do_type_into(self, box, typed):
        # With the results shown the click finds no box, and the typing goes where the focus already is.
        self.do_click(1, *BOXES[box])
        self.do_type(typed)

    def do_type(self, typed):
        # A space typed is a press of the focused button, as in do_key.
        if " " in typed and self.focused_button() in ("Exit", "Close"):
            self.note("Tab first: the focus is on a button that ends the program")
            self.xdotool("key", "Tab")
        self.xdotool("type", "--delay", "5", "--", typed)

    def do_key(self, key):
        if key in ("Return", "space") and self.focused_button() in ("Exit", "Close"):
            self.note("Tab instead: the focus is on a button that ends the program")
            key = "Tab"
        # Its focus may have moved on since it was read.
        self.ended_by_key |= key in ("Return", "space")
        self.xdotool("key", key)

    def do_figures(self, calculate, *texts):
        for box, typed in zip(BOXES, texts):
            self.do_click(1, *box)
            self.xdotool("key", "ctrl+a", "type", "--delay", "5", "--", typed)
        if calculate:
            self.do_calculate()

    def do_calculate(self):
        self.do_click(1, *CALCULATE)

    def do_back(self):
        self.do_click(1, *BACK)

    def do_ok(self):
        alert = self.accessible_alert()
        ok = alert and next((a for a in self.descendants(alert) if a.getRoleName() == "push button"), None)
        if ok:
            box = self.extents(ok)
            self.xdotool("mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2), "click", "1")

    def do_close_alert(self, how):
        window = self.alert_window()
        if window is None:
            return
        if how == "wmctrl":
            self.display.run("wmctrl", "-i", "-c", window)
        elif self.xdotool("getactivewindow").strip() == window:
            self.xdotool("key", "alt+F4")

    def do_minimise(self, how):
        if how == "button":
            self.do_click(1, *MINIMISE)
        else:
            self.xdotool("windowminimize", self.window)

    def do_restore(self, how):
        if how == "wmctrl":
            self.display.run("wmctrl", "-i", "-a", self.window)
        else:
            self.xdotool("windowactivate", self.window)

    def do_resize(self, how):
        window = self.alert_window() or self.window
        if how == "maximise":
            self.display.run("wmctrl", "-i", "-r", window, "-b", "add,maximized_vert,maximized_horz")
        elif how == "windowsize":
            self.xdotool("windowsize", window, "900", "700")
        else:
            left, top, width, height = window_geometry(self.x_env(), window)
            corner = (str(left + width - 4), str(top + height - 4))
            self.xdotool("mousemove", *corner, "keydown", "alt", "mousedown", "3", "mousemove_relative", "80",
                         "60", "mouseup", "3", "keyup", "alt")

    def focused_button(self):
        application = self.application()
        if application is None:
            return None
        return next((a.name for window in self.accessible_windows() for a in self.descendants(window)
                     if a.getRoleName() == "push button" and self.focused(a)), None)

    def focus_report(self):
        active = self.xdotool("getactivewindow").strip()
        names = {self.window: "the main window", self.alert_window(): "the alert"}
        focused = [f"{a.getRoleName()} {a.name!r}" for window in self.accessible_windows()
                   for a in self.descendants(window) if self.focused(a)]
        focus = self.xdotool("getwindowfocus").strip()
        return (f"active window: {names.get(active, active or 'none')}; keyboard focus: {names.get(focus, focus)}; "
                f"focused: {', '.join(focused) or 'nothing'}")

    # The checks after each quiet second.

    def check_at_rest(self):
        status = self.process.poll()
        if status == 0 and self.ended_by_key:
            # A key reached Exit after all: a normal end.
            self.note("the program ended by its Exit; started again")
            self.start()
            return
        self.assertIsNone(status, "the program ended")
        self.assertEqual(self.runtime_error(), [], "a run-time error")
        if self.minimised(self.window):
            self.note("restored to look at it")
            self.xdotool("windowactivate", self.window)
            wait_for(lambda: not self.minimised(self.window), what="restored")
        # A busy machine may deliver the last ticks a little late.
        layout = wait_for(self.rest_layout, timeout=3, what="the main window at rest in one of its two layouts "
                          f"(size {self.geometry()[2:]})")
        alert = self.accessible_alert()
        self.note(f"at rest: {layout}{', alert shown' if alert else ''}")
        if alert is not None:
            window = self.alert_window()
            if window and self.xdotool("getactivewindow").strip() not in (window, self.window):
                # A click on the desktop leaves no window active, and so no control focused.
                self.note("activated the alert to look at it")
                self.xdotool("windowactivate", window)
            try:
                wait_for(lambda: self.focused_button() == "OK", timeout=2, what="OK focused in the shown alert")
            except AssertionError as failure:
                raise AssertionError(f"{failure}: {self.focus_report()}") from None
        self.keep_on_screen()

    def rest_layout(self):
        left, top, width, height = self.geometry()
        window = self.main_accessible()
        if width != WIDTH:
            return None
        if height == SHORT:
            boxes = [self.text_box(index) for index in range(4)]
            places = [(box.x - left, box.y - top) for box in map(self.extents, boxes)]
            shown = all(map(self.showing, boxes))
            values = [a for a in self.value_labels(window) if self.showing(a)]
            if shown and not values and places == INPUT_PLACES:
                return "input"
        elif height == TALL:
            values = [a for a in self.value_labels(window) if self.showing(a)]
            if len(values) == 7 and all(a.name and a.name != "fff" for a in values):
                return "results " + " ".join(a.name for a in values)
        return None

    def value_labels(self, window):
        captions = [a for a in self.descendants(window) if a.getRoleName() == "label"]
        return [a for a in captions if a.name == "fff" or re.fullmatch(r"\$?-?[0-9.]*", a.name or "")]

    def keep_on_screen(self):
        left, top, width, height = self.geometry()
        if left < 0 or top < 0 or left + width > 1024 or top + TALL > 768:
            self.note("moved back onto the screen")
            self.xdotool("windowmove", "--sync", self.window, str((1024 - WIDTH) // 2), str((768 - TALL) // 2))


if __name__ == "__main__":
    unittest.main()
