"""End-to-end tests of the calculator as its users meet it: a real window on a real X server, real input."""

import os
import time
import unittest

from harness import APP_ID, CAPTION, PROGRAM, CalculatorTest, picture, wait_for

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


def near(colour, target, tolerance=40):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, target))


class Window(CalculatorTest):
    def test_opens_centred_frameless_with_its_caption_and_icon(self):
        self.assertEqual(self.geometry(), ((1024 - 514) // 2, (768 - 282) // 2, 514, 282))
        properties = self.display.run("xprop", "-id", self.window)
        self.assertIn(f'_NET_WM_NAME(UTF8_STRING) = "{CAPTION}"', properties)
        self.assertRegex(properties, r"_MOTIF_WM_HINTS\(_MOTIF_WM_HINTS\) = 0x[0-9a-f]*[2367], 0x[0-9a-f]+, 0x0,")
        self.assertIn("_NET_WM_ICON(CARDINAL)", properties)
        # The desktop finds the entry, and so name and icon, by the window class.
        self.assertIn(f'WM_CLASS(STRING) = "{os.path.basename(PROGRAM)}", "{APP_ID}"', properties)
        self.assertEqual([w.name for w in self.accessible_windows()], [CAPTION])
        left, top, width, height = self.geometry()
        self.save_screenshot("main.png", (left, top, width, height))


class Alert(CalculatorTest):
    def test_empty_boxes_list_four_messages_and_turn_orange(self):
        self.click(*CALCULATE)
        alert = wait_for(lambda: next((w for w in self.accessible_windows() if w.name == "Input error"), None),
                         what="the alert")
        wait_for(lambda: self.showing(alert), what="the alert shown")
        messages = [name for name in self.labels(alert) if name != "INPUT ERROR!"]
        self.assertEqual(messages, ["\r\nTank Capacity Is Required.\r\nMonthly Top-up Is Required.\r\n"
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
        left, top, width, height = self.geometry()
        self.save_screenshot("results.png", (left, top, width, height))
        self.click(*BACK)
        wait_for(lambda: self.geometry()[3] == 282, what="the window back at 282 pixels")
        wait_for(lambda: any(name == "Full Tank Capacity:" and left + 176 <= x
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
        opened = os.path.join(self.home, "opened")
        stand_in = os.path.join(self.home, "xdg-open")
        with open(stand_in, "w") as script:
            script.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{opened}"\n')
        os.chmod(stand_in, 0o755)
        self.click(*TITLE)
        wait_for(lambda: os.path.exists(opened) and open(opened).read(), what="the URL handler called")
        time.sleep(0.3)
        with open(opened) as record:
            self.assertEqual(record.read(), "https://www.kelvara.example/\n")

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
        wait_for(lambda: "_NET_WM_STATE_HIDDEN" in self.state() or "Iconic" in self.state(), what="minimised")
        self.xdotool("windowactivate", self.window)
        wait_for(lambda: "Normal" in self.state() and "_NET_WM_STATE_HIDDEN" not in self.state(),
                 what="restored")
        self.assertEqual(self.geometry(), before)
        wait_for(lambda: self.window_pixels(*CALCULATE_FACE) == BUTTON_FACE, what="the input panel drawn")


if __name__ == "__main__":
    unittest.main()
