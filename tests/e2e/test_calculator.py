"""End-to-end tests of the calculator as its users meet it: a real window on a real X server, real input."""

import os
import re
import subprocess
import time
import unittest

from harness import (APP_ID, CAPTION, PROGRAM, CalculatorTest, holds, minimised_state, picture, wait_for,
                     window_geometry)

# Pixel positions inside the main window, at 15 twips per pixel.
TANK, TOP_UP, MILEAGE, PRICE = (380, 63), (380, 104), (380, 144), (380, 184)
CALCULATE = (260, 240)
CALCULATE_FACE = (195, 240)  # beside the lettering
BACK = (96, 340)
TITLE = (200, 24)
MINIMISE = (468, 20)
CLOSE = (492, 20)
BODY = (30, 240)

SKIN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "skin")

BUTTON_FACE = (0x9A, 0x6B, 0x34)
BUTTON_HOVER = (0x82, 0x51, 0x16)
ERROR_BOX = (0xFF, 0x80, 0x00)
TICK = 1 / 64
BOXES = (TANK, TOP_UP, MILEAGE, PRICE)
BOX_NAMES = ("Full Tank Capacity:", "Average Monthly Top-up:", "Max Mileage Attained Per Full Tank:",
             "Fuel price per Litre:")
WORKED = ("47.5", "4", "845", "2.88")
# The widest figures each range accepts with two decimals.
WIDEST = ("1499.99", "99.99", "2999.99", "19.99")
BOX_LEFT = 337
WORKED_FIGURES = ["1039.3", "21.8", "3.2", "$454.78", "$92.42", "$1109.04", "5.2"]
BEIGE = (0xEA, 0xD6, 0xC2)


def near(colour, target, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, target))


class Window(CalculatorTest):
    def test_opens_centred_frameless_with_its_caption_and_icon(self):
        self.assertEqual(self.geometry(), ((1024 - 514) // 2, (768 - 282) // 2, 514, 282))
        properties = self.display.run("xprop", "-id", self.window)
        self.assertIn(f'_NET_WM_NAME(UTF8_STRING) = "{CAPTION}"', properties)
        self.assertRegex(properties, r"_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = 0x[0-9a-f]*[2367], 0x[0-9a-f]+, 0x0,")
        # The icon follows the first frame.
        wait_for(lambda: "Icon (128 x 128)" in self.display.run("xprop", "-id", self.window, "_NET_WM_ICON"),
                 what="the window icon in every size")
        # The desktop finds the entry, and so name and icon, by the window class.
        self.assertIn(f'WM_CLASS(STRING) = "{os.path.basename(PROGRAM)}", "{APP_ID}"', properties)
        self.assertEqual([w.name for w in self.accessible_windows()], [CAPTION])
        left, top, width, height = self.geometry()
        self.save_screenshot("main.png", (left, top, width, height))

    def test_the_widest_accepted_figures_show_whole_once_typed(self):
        import pyatspi
        for box, text in zip(BOXES, WIDEST):
            self.type_into(*box, text)
        self.xdotool("key", "Tab")
        boxes = {a.name: a for a in self.descendants(self.accessible_windows()[0]) if a.getRoleName() == "text"}
        for name, text in zip(BOX_NAMES, WIDEST):
            with self.subTest(box=name):
                area, typed = self.extents(boxes[name]), boxes[name].queryText()
                self.assertEqual(typed.getText(0, -1), text)
                # Where the box shows its text from, as a click would find it: the start at the left edge, the
                # end before the right one.
                middle = area.y + area.height // 2
                shown = (typed.getOffsetAtPoint(area.x + 4, middle, pyatspi.DESKTOP_COORDS),
                         typed.getOffsetAtPoint(area.x + area.width - 4, middle, pyatspi.DESKTOP_COORDS))
                self.assertEqual(shown, (0, len(text)))
        self.save_screenshot("main-typed.png", self.geometry())


class Alert(CalculatorTest):
    def test_empty_boxes_list_four_messages_and_turn_orange(self):
        self.click(*CALCULATE)
        alert = wait_for(lambda: next((w for w in self.accessible_windows() if w.name == "Input error"), None),
                         what="the alert")
        wait_for(lambda: self.showing(alert), what="the alert shown")
        messages = [name for name in self.labels(alert) if name != "INPUT ERROR!"]
        self.assertEqual(messages, ["Tank Capacity Is Required.\r\nMonthly Top-up Is Required.\r\n"
                                    "Mileage Attained Is Required.\r\nFuel Price Is Required."])
        import pyatspi
        extents = alert.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        self.assertEqual((extents.width, extents.height), (330, 186))  # sized for four messages
        left, top, width, height = self.geometry()
        self.save_screenshot("alert.png", (left, top, width, height))
        self.xdotool("key", "Return")  # OK holds the focus
        wait_for(lambda: all(w.name != "Input error" or not self.showing(w) for w in self.accessible_windows()),
                 what="the alert closed")
        # The area under the alert is drawn again once it has gone.
        wait_for(lambda: all(self.window_pixels(x, y) == ERROR_BOX for x, y in (TANK, TOP_UP, MILEAGE, PRICE)),
                 what="four orange boxes")


class Results(CalculatorTest):
    def test_worked_example_cycle(self):
        for box, text in ((TANK, "45"), (TOP_UP, "3"), (MILEAGE, "550"), (PRICE, "1.95")):
            self.type_into(*box, text)
        self.click(*CALCULATE)
        pressed = time.monotonic()
        wait_for(lambda: self.geometry()[3] == 382, what="the window grown to 382 pixels")
        grown = time.monotonic() - pressed
        # 16 moving ticks and the computing one, then 15 growing ticks, at 64 ticks a second.
        self.assertGreater(grown, 0.8 * 31 * TICK)
        self.assertLess(grown, 5.0)
        window = self.accessible_windows()[0]
        figures = wait_for(lambda: [name for name in self.labels(window)
                                    if name[:1].isdigit() or name.startswith("$")], what="the figures")
        self.assertEqual(figures, ["676.5", "15.0", "2.4", "$222.69", "$40.56", "$486.72", "5.5"])
        # A screen reader reads each figure with its row's caption.
        import pyatspi
        captions = []
        for figure in (a for a in self.descendants(window) if a.name in figures):
            relations = [r for r in figure.getRelationSet() if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
            captions += [r.getTarget(0).name.split(":")[0] for r in relations]
        self.assertEqual(captions, ["Estimated Mileage Attainable", "Fuel Efficiency", "Monthly Fuel Top-up",
                                    "Monthly Fuel Cost", "Monthly Fuel Savings", "Yearly Fuel Savings",
                                    "A Bottle Of $28 Can Last For           Top-ups."])
        left, top, width, height = self.geometry()
        self.save_screenshot("results.png", (left, top, width, height))
        self.click(*BACK)
        wait_for(lambda: self.geometry()[3] == 282, what="the window back at 282 pixels")
        wait_for(lambda: any(name == "Full Tank Capacity:" and left + 164 <= x
                             for name, x in self.label_positions(window)), what="the input panel back")

    def label_positions(self, window):
        import pyatspi
        for a in self.descendants(window):
            if a.getRoleName() == "label" and self.showing(a):
                yield a.name, a.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).x


class Pointer(CalculatorTest):
    def test_hover_looks_follow_the_pointer(self):
        self.pointer_to(*CLOSE)
        wait_for(lambda: self.window_pixels(481, 9) == BUTTON_HOVER, what="Close lit")
        self.assertEqual(self.window_pixels(457, 9), BUTTON_FACE)
        self.pointer_to(*TITLE)
        # The skin's hand, 32 pixels high, from the fingertip.
        self.assert_hand_pointer((25, 32), (10, 1))
        left, top, _, _ = self.geometry()
        title_box = (left + 96, top + 16, left + 465, top + 40)
        wait_for(lambda: self.screen().count(title_box, lambda c: near(c, (0x80, 0x80, 0xFF))) > 50,
                 what="the title in its hover colour")
        self.assertEqual(self.window_pixels(481, 9), BUTTON_FACE)
        self.pointer_to(*BODY)
        wait_for(lambda: self.screen().count(title_box, lambda c: near(c, (0x80, 0x80, 0xFF))) == 0,
                 what="the title back to white")

    def test_drag_moves_the_window_by_the_pointers_displacement(self):
        left, top, _, _ = self.geometry()
        self.pointer_to(*BODY)
        self.xdotool("mousedown", "1")
        for step in range(1, 11):
            self.xdotool("mousemove", str(left + BODY[0] + 10 * step), str(top + BODY[1] + 5 * step))
            time.sleep(0.02)
        self.xdotool("mouseup", "1")
        wait_for(lambda: self.geometry()[:2] == (left + 100, top + 50), what="the window dragged")
        # The title label never drags.
        self.pointer_to(*TITLE)
        self.xdotool("mousedown", "1", "mousemove_relative", "--", "40", "30", "mouseup", "1")
        time.sleep(0.2)
        self.assertEqual(self.geometry()[:2], (left + 100, top + 50))

    def test_title_label_hands_the_address_to_the_desktop(self):
        opened = self.stand_in_url_handler()
        self.click(*TITLE)
        wait_for(lambda: os.path.exists(opened) and open(opened).read(), what="the URL handler called")
        time.sleep(0.3)
        with open(opened) as record:
            self.assertEqual(record.read(), "https://www.kelvara.example/\n")

    def test_screen_readers_press_the_title_and_find_nothing_below_the_window(self):
        import pyatspi
        opened = self.stand_in_url_handler()
        window = self.accessible_windows()[0]
        title = next(a for a in self.descendants(window) if a.name.startswith("KELVARA CALCULATOR BY"))
        actions = title.queryAction()
        names = [actions.getName(i) for i in range(actions.nActions)]
        self.assertIn("press", [name.lower() for name in names])
        actions.doAction([name.lower() for name in names].index("press"))
        wait_for(lambda: os.path.exists(opened) and open(opened).read(), what="the URL handler called")
        # The picture holders and the frame lie below the window, where nobody sees them.
        _, top, _, height = self.geometry()
        below = [a.name or a.getRoleName() for a in self.descendants(window)
                 if self.showing(a) and self.extents(a).y >= top + height]
        self.assertEqual(below, [])

    def test_double_click_on_the_title_label_opens_the_site_once(self):
        opened = self.stand_in_url_handler()
        self.pointer_to(*TITLE)
        self.xdotool("click", "--repeat", "2", "--delay", "60", "1")
        wait_for(lambda: os.path.exists(opened) and open(opened).read(), what="the URL handler called")
        # A second call would come from the second press, within milliseconds of the first.
        time.sleep(0.5)
        with open(opened) as record:
            self.assertEqual(record.read(), "https://www.kelvara.example/\n")

    def stand_in_url_handler(self):
        """An xdg-open first on PATH that records the addresses it is given; returns the record's path."""
        opened = os.path.join(self.home, "opened")
        stand_in = os.path.join(self.home, "xdg-open")
        with open(stand_in, "w") as script:
            script.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{opened}"\n')
        os.chmod(stand_in, 0o755)
        return opened

    def test_close_ends_the_process_with_status_zero(self):
        self.click(*CLOSE)
        self.assertEqual(self.process.wait(10), 0)


class HighDensity(CalculatorTest):
    """At a scale factor of 2 the skin is drawn from its twice-size pictures, pixel for pixel."""

    scale = 2
    screen_size = "1280x1024"

    def at_scale(self, point):
        return tuple(2 * v for v in point)

    def assert_face_drawn(self, screen, name, where=None):
        """The button face `name` shows as its twice-size picture, not as the single-size one enlarged."""
        found = screen.find(picture(os.path.join(SKIN, name + "@2x.png")))
        self.assertIsNotNone(found, f"{name}@2x.png is not on the screen")
        if where:
            left, top, _, _ = self.geometry()
            self.assertEqual(found, (left + where[0], top + where[1]))
        self.assertIsNone(screen.find(picture(os.path.join(SKIN, name + ".png"), enlarge=2)),
                          f"{name}.png shows enlarged")

    def test_buttons_wear_the_twice_size_pictures(self):
        self.assertEqual(self.geometry(), ((1280 - 1028) // 2, (1024 - 564) // 2, 1028, 564))
        # The face is centred on its 153 x 33 button at (184, 224), one design pixel in from each side.
        wait_for(lambda: self.screen().find(picture(os.path.join(SKIN, "face-calculate-normal@2x.png"))),
                 what="the window drawn")
        screen = self.screen()
        self.assert_face_drawn(screen, "face-calculate-normal", where=(2 * 185, 2 * 225))
        left, top, width, height = self.geometry()
        self.save_screenshot("main-200.png", (left, top, width, height))
        # The hand over the title at twice its size, as smooth as at its own, the hot spot scaled with it.
        self.pointer_to(*self.at_scale(TITLE))
        self.assert_hand_pointer((51, 64), (21, 1))

        self.click(*self.at_scale(CALCULATE))
        alert = wait_for(lambda: next((w for w in self.accessible_windows() if w.name == "Input error"), None),
                         what="the alert")
        wait_for(lambda: self.showing(alert), what="the alert shown")
        wait_for(lambda: self.screen().find(picture(os.path.join(SKIN, "face-ok-normal@2x.png"))),
                 what="the alert's OK drawn")
        self.assert_face_drawn(self.screen(), "face-ok-normal")
        self.save_screenshot("alert-200.png", (left, top, width, height))
        self.xdotool("key", "Return")
        wait_for(lambda: all(w.name != "Input error" or not self.showing(w) for w in self.accessible_windows()),
                 what="the alert closed")

        for box, text in ((TANK, "45"), (TOP_UP, "3"), (MILEAGE, "550"), (PRICE, "1.95")):
            self.type_into(*self.at_scale(box), text)
        self.click(*self.at_scale(CALCULATE))
        wait_for(lambda: self.geometry()[3] == 2 * 382, what="the window grown to 764 pixels")
        window = self.accessible_windows()[0]
        wait_for(lambda: "$486.72" in self.labels(window), what="the figures")
        wait_for(lambda: self.screen().find(picture(os.path.join(SKIN, "face-exit-normal@2x.png"))),
                 what="Exit drawn")
        screen = self.screen()
        self.assert_face_drawn(screen, "face-back-normal")
        self.assert_face_drawn(screen, "face-exit-normal")
        left, top, width, height = self.geometry()
        self.save_screenshot("results-200.png", (left, top, width, height))


class WindowManager(CalculatorTest):
    window_manager = True

    def state(self):
        return self.display.run("xprop", "-id", self.window, "_NET_WM_STATE", "WM_STATE")

    def test_minimise_and_restore(self):
        before = self.geometry()
        self.click(*MINIMISE)
        wait_for(lambda: minimised_state(self.state()), what="minimised")
        self.xdotool("windowactivate", self.window)
        wait_for(lambda: "Normal" in self.state() and "_NET_WM_STATE_HIDDEN" not in self.state(),
                 what="restored")
        self.assertEqual(self.geometry(), before)
        wait_for(lambda: self.window_pixels(*CALCULATE_FACE) == BUTTON_FACE, what="the input panel drawn")


    def test_quick_drags_end_where_the_pointer_took_the_window(self):
        # The window manager's own move follows the pointer; the window never stays stuck to it after.
        for dx, dy in ((100, 50), (-60, 40), (150, -90), (-190, 0), (0, 60)):
            with self.subTest(drag=(dx, dy)):
                left, top = self.quick_drag(BODY, dx, dy)
                self.assertEqual(self.settled_position(), (left + dx, top + dy))
        self.pointer_to(*TITLE)
        self.assertEqual(self.settled_position(), (left + dx, top + dy))
        self.assert_alive()


class DesktopTest(CalculatorTest):
    """The program under a window manager, as on a user's desktop."""

    window_manager = True

    def fill(self, texts):
        for box, text in zip(BOXES, texts):
            self.type_into(*box, text)

    def main_accessible(self):
        return next(w for w in self.accessible_windows() if w.name == CAPTION)

    def text_box(self, index):
        return next(a for a in self.descendants(self.main_accessible())
                    if a.getRoleName() == "text" and a.name == BOX_NAMES[index])

    def box_text(self, index):
        return self.text_box(index).queryText().getText(0, -1)

    def figures(self):
        return [name for name in self.labels(self.main_accessible()) if re.fullmatch(r"\$?-?[0-9.]+", name)]

    def wait_for_alert(self):
        """Waits until the alert is shown, active and drawn; returns its accessible and its window."""
        alert = wait_for(self.accessible_alert, what="the alert shown")
        window = wait_for(self.alert_window, what="the alert's window mapped")
        wait_for(lambda: self.xdotool("getactivewindow").strip() == window, what="the alert active")
        return alert, window

    def wait_for_alert_gone(self):
        wait_for(lambda: self.alert_window() is None and self.accessible_alert() is None, what="the alert gone")

    def wait_for_height(self, height):
        wait_for(lambda: self.geometry()[3] == height, what=f"the window {height} pixels tall")

    def back_to_input(self):
        self.click(*BACK)
        self.wait_for_height(282)
        wait_for(lambda: self.extents(self.text_box(0)).x == self.geometry()[0] + BOX_LEFT,
                 what="the input panel back")


WINDOW_CLOSERS = (
    ("wmctrl -c", lambda test, window: test.display.run("wmctrl", "-i", "-c", window)),
    ("Alt+F4", lambda test, window: test.xdotool("key", "alt+F4")),
)


class WindowManagerClose(DesktopTest):
    def test_alert_closed_by_the_window_manager_is_gone_for_good(self):
        for index, (name, close) in enumerate(WINDOW_CLOSERS):
            with self.subTest(closer=name):
                self.click(*CALCULATE)
                _, window = self.wait_for_alert()
                close(self, window)
                self.wait_for_alert_gone()
                # The main window takes input again: a box takes typing.
                self.type_into(*BOXES[index], "12")
                wait_for(lambda: self.box_text(index) == "12", what="the typed figure in its box")
                self.assert_alive()
        # The next failing Calculate shows the alert again, and OK still closes it.
        self.click(*CALCULATE)
        alert, _ = self.wait_for_alert()
        self.assertEqual([name for name in self.labels(alert) if name != "INPUT ERROR!"],
                         ["Mileage Attained Is Required.\r\nFuel Price Is Required."])
        self.xdotool("key", "Return")
        self.wait_for_alert_gone()
        self.assert_alive()

    def test_main_window_closed_by_the_window_manager_ends_the_program(self):
        for name, close in WINDOW_CLOSERS:
            with self.subTest(closer=name):
                if self.process.poll() is not None:
                    self.start()
                self.xdotool("windowactivate", "--sync", self.window)
                # A person presses Alt+F4 once the window has the keyboard, not merely once it is marked active.
                wait_for(lambda: self.xdotool("getwindowfocus").strip() == self.window, what="the window focused")
                close(self, self.window)
                self.assertEqual(self.process.wait(30), 0)
                self.assertEqual(self.runtime_error(), [])


class FixedSize(DesktopTest):
    def resize_attempts(self, window, size):
        """Every way a user resizes a window through the window manager; none may change its size."""
        left, top, width, height = window_geometry(self.x_env(), window)
        attempts = (
            ("maximise", lambda: self.display.run("wmctrl", "-i", "-r", window, "-b",
                                                  "add,maximized_vert,maximized_horz")),
            ("full screen", lambda: self.display.run("wmctrl", "-i", "-r", window, "-b", "add,fullscreen")),
            ("windowsize", lambda: self.xdotool("windowsize", window, "800", "600")),
            ("Alt+right-drag", lambda: self.xdotool(
                "mousemove", str(left + width - 4), str(top + height - 4), "keydown", "alt", "mousedown", "3",
                "mousemove_relative", "40", "30", "mousemove_relative", "60", "50", "mouseup", "3", "keyup",
                "alt")),
        )
        for name, attempt in attempts:
            with self.subTest(attempt=name, size=size):
                attempt()
                # Nothing to wait for: the window manager answers at once, or never.
                holds(lambda: self.window_size(window) == size, 0.4, what=f"{size} after {name}")
                if name != "Alt+right-drag":
                    wait_for(lambda: self.place(window) == (left, top), what=f"back in place after {name}")
                    self.assertNotIn("FULLSCREEN", self.display.run("xprop", "-id", window, "_NET_WM_STATE"))

    def place(self, window):
        return window_geometry(self.x_env(), window)[:2]

    def test_neither_window_can_be_resized(self):
        self.assertEqual(self.size_hints(self.window), ((514, 282), (514, 282)))
        self.resize_attempts(self.window, (514, 282))
        self.click(*CALCULATE)
        _, alert = self.wait_for_alert()
        self.assertEqual(self.size_hints(alert), ((330, 186), (330, 186)))
        self.resize_attempts(alert, (330, 186))
        self.xdotool("key", "Return")
        self.wait_for_alert_gone()
        self.assert_alive()

    def test_size_hints_follow_the_grow_and_the_shrink(self):
        self.fill(WORKED)
        self.click(*CALCULATE)
        self.wait_for_height(382)
        wait_for(lambda: self.size_hints(self.window) == ((514, 382), (514, 382)), what="hints of 514 x 382")
        self.resize_attempts(self.window, (514, 382))
        self.click(*BACK)
        self.wait_for_height(282)
        wait_for(lambda: self.size_hints(self.window) == ((514, 282), (514, 282)), what="hints of 514 x 282")
        self.assert_alive()


class MinimiseDuringAnimation(DesktopTest):
    def growing(self):
        return 282 < self.geometry()[3] < 382

    def test_minimised_window_stays_minimised_and_restores_with_the_results(self):
        moments = (
            # Right after the click the input panel is sliding out.
            ("slide-out", lambda: self.geometry()[3] == 282, "wmctrl -a",
             lambda: self.display.run("wmctrl", "-i", "-a", self.window)),
            ("grow", self.growing, "windowactivate", lambda: self.xdotool("windowactivate", self.window)),
        )
        self.fill(WORKED)
        for moment, reached, restorer, restore in moments:
            with self.subTest(moment=moment, restore=restorer):
                self.minimise_during(reached)
                holds(lambda: self.minimised(self.window), 1.0, what="minimised")
                restore()
                # The animation ran on: the restored window reaches its end at once, with no steps of the grow
                # between. It may show for a moment the height it had when the window manager took it away,
                # before the program learnt that it was minimised.
                heights = set()
                wait_for(lambda: heights.add(self.geometry()[3]) or 382 in heights, interval=0.002,
                         what="the window 382 pixels tall")
                self.assertLessEqual(len(heights - {282, 382}), 1, f"heights after the restore: {sorted(heights)}")
                wait_for(lambda: not self.minimised(self.window), what="restored")
                wait_for(lambda: self.figures() == WORKED_FIGURES, what="the seven figures")
                self.assertEqual(self.geometry()[2:], (514, 382))
                self.back_to_input()
                self.assertEqual(self.box_text(0), WORKED[0])
                self.assert_alive()

    def minimise_during(self, moment):
        """Clicks Calculate and minimises the window at the moment; a busy machine may miss a moment that
        lasts a quarter second, so the cycle is tried again then."""
        for _ in range(3):
            self.click(*CALCULATE)
            wait_for(lambda: moment() or self.geometry()[3] == 382, timeout=5, interval=0.002, what="the moment")
            self.xdotool("windowminimize", self.window)
            if moment():
                wait_for(lambda: self.minimised(self.window), what="minimised")
                return
            wait_for(lambda: self.minimised(self.window), what="minimised")
            self.xdotool("windowactivate", self.window)
            wait_for(lambda: not self.minimised(self.window), what="restored")
            self.wait_for_height(382)
            self.back_to_input()
        self.fail("never minimised at the moment")


def dark(colour):
    return sum(colour) < 3 * 96


class LongAlert(DesktopTest):
    FIELDS = ("Tank Capacity", "Monthly Top-up", "Mileage Attained", "Fuel Price")

    def test_four_wrapped_messages_are_readable_in_full(self):
        self.fill(("abc",) * 4)
        self.click(*CALCULATE)
        alert, window = self.wait_for_alert()
        text = "\r\n".join(f"Please Enter Numbers Only For {field}." for field in self.FIELDS)
        self.assertEqual([name for name in self.labels(alert) if name != "INPUT ERROR!"], [text])
        label = next(a for a in self.descendants(alert) if a.getRoleName() == "label" and a.name == text)
        ok = next(a for a in self.descendants(alert) if a.getRoleName() == "push button")
        area, button = self.extents(label), self.extents(ok)
        bottom = area.y + area.height
        self.assertLessEqual(bottom, button.y, "the message label ends above OK")
        # The text lines on screen: runs of rows with dark text pixels in the label's area.
        lines = wait_for(lambda: self.text_lines(self.screen(), area.x, area.x + area.width, area.y, bottom),
                         what="the messages drawn")
        width, height = self.window_size(window)
        self.save_screenshot("alert-wrapped.png", (self.extents(alert).x, self.extents(alert).y, width, height))
        # Each message is wider than the label, so it takes two lines at least.
        self.assertGreaterEqual(len(lines), 2 * len(self.FIELDS), f"text lines {lines}")
        pitches = {b[0] - a[0] for a, b in zip(lines, lines[1:])}
        self.assertEqual(len(pitches), 1, f"evenly spaced lines {lines}")
        self.assertLess(lines[-1][1], bottom, "the last line is not cut at the label's bottom edge")
        # The design's four-line height and a step of 250 twips for each line beyond four, at 15 a pixel.
        self.assertEqual((width, height), (330, round((2790 + 250 * (len(lines) - 4)) / 15)))
        self.assertGreater(height, 186)
        self.xdotool("key", "Return")
        self.wait_for_alert_gone()
        self.assert_alive()

    @staticmethod
    def text_lines(screen, x0, x1, y0, y1):
        rows = [y for y in range(y0, y1) if any(dark(screen.at(x, y)) for x in range(x0, x1))]
        lines = []
        for y in rows:
            if lines and y == lines[-1][1]:
                lines[-1][1] = y + 1
            else:
                lines.append([y, y + 1])
        return [tuple(line) for line in lines]


class BottomBorder(DesktopTest):
    def cycle_report(self, first):
        # The probe is a test tool: its own leaks, if any, are not the program's.
        probe = subprocess.Popen([os.environ["KELVARA_BORDER_PROBE"], self.window], text=True,
                                 env=dict(self.display.env, ASAN_OPTIONS="detect_leaks=0"),
                                 stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.addCleanup(lambda: probe.poll() is None and probe.kill())
        self.assertEqual(probe.stdout.readline(), "ready\n")
        if first:
            self.fill(WORKED)
        self.click(*CALCULATE)
        self.wait_for_height(382)
        wait_for(lambda: self.figures() == WORKED_FIGURES, what="the seven figures")
        self.back_to_input()
        report, _ = probe.communicate("", timeout=30)
        summary = re.fullmatch(r"samples=(\d+) heights=([\d,]+) bad=(\d+) missing_ms=([\d.]+) cut=(\d+) "
                               r"cut_ms=([\d.]+) doubled_ms=([\d.]+)", report.splitlines()[-1])
        self.assertTrue(summary, report)
        print(f"\nborder probe: {report.splitlines()[-1]}")
        heights = [int(height) for height in summary[2].split(",")]
        # The probe saw the whole cycle: both rest heights and most of the 15 steps between them.
        self.assertEqual((heights[0], heights[-1]), (282, 382), report)
        self.assertGreaterEqual(len(heights), 10, report)
        clean = int(summary[3]) == 0 and float(summary[6]) <= 16 and float(summary[7]) <= 16
        self.assertEqual(clean, probe.returncode == 0, report)
        return clean, report

    def test_every_frame_of_the_grow_and_the_shrink_has_its_bottom_border(self):
        # Every cycle, on a machine busy with other work too: no frame without the bottom border, and no doubled
        # one standing longer than a frame. openbox resizes its frame and the window in two steps, and a busy
        # X server now and then shows what lies between (the frame cutting the window higher up) for a moment:
        # that too no longer than a frame.
        reports = [self.cycle_report(first=cycle == 0) for cycle in range(3)]
        self.assertTrue(all(clean for clean, _ in reports), "\n".join(report for _, report in reports))


if __name__ == "__main__":
    unittest.main()
