"""Runs the built calculator on a display of its own and drives it as a person would: real pointer and keyboard
events (xdotool), the screen as pixels (ImageMagick), and the widgets as assistive technology sees them (AT-SPI).
Each test process runs inside its own D-Bus session (dbus-run-session) and starts its own X server."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

CAPTION = "Kelvara - Fuel Consumtion Calculator"
# The program's reverse-DNS id: its window class, and its name on the accessibility bus.
APP_ID = "example.kelvara.Calculator"
PROGRAM = os.environ.get("KELVARA_PROGRAM", "")
SCREENSHOTS = os.environ.get("KELVARA_SCREENSHOTS", "")


def run(env, *args):
    """What a command printed, run in the environment given (that of a display)."""
    return subprocess.run(list(args), env=env, capture_output=True, text=True, timeout=20).stdout


def start_xvfb(size, **options):
    """Starts an Xvfb server of that size ("1024x768") on a free display; returns the process and the display's
    name. options go to Popen."""
    # Servers started side by side race for display numbers, and now and then one gives up: start another.
    for _ in range(3):
        log = tempfile.TemporaryFile(mode="w+")
        read, write = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", size + "x24", "-nolisten",
                                   "tcp"], pass_fds=(write,), stdout=log, stderr=log, **options)
        os.close(write)
        with os.fdopen(read) as pipe:
            number = pipe.readline().strip()
        if number:
            return server, ":" + number
        server.wait()
    log.seek(0)
    raise AssertionError(f"Xvfb did not start; it said: {log.read()[-2000:]}")


def window_geometry(env, window):
    """An X window's (x, y, width, height) as xdotool reports it, or None when there is no such window."""
    values = dict(line.split("=", 1) for line in run(env, "xdotool", "getwindowgeometry", "--shell", window).split())
    return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT")) if values else None


def minimised_state(state):
    """Whether xprop's _NET_WM_STATE and WM_STATE of a window say it is minimised."""
    return "_NET_WM_STATE_HIDDEN" in state or "Iconic" in state


def wait_for(condition, timeout=10.0, interval=0.02, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(interval)


def holds(condition, duration, interval=0.02, what="condition"):
    """Checks that the condition stays true for the whole duration: the proof that something does not happen."""
    deadline = time.monotonic() + duration
    while time.monotonic() < deadline:
        if not condition():
            raise AssertionError(f"{what} no longer held after {duration - (deadline - time.monotonic()):.2f} s")
        time.sleep(interval)


class Display:
    """An Xvfb server, optionally with a window manager."""

    def __init__(self, window_manager=False, size="1024x768"):
        self.manager = None
        self.server, self.name = start_xvfb(size)
        self.env = dict(os.environ, DISPLAY=self.name)
        if window_manager:
            try:
                self.start_window_manager()
            except BaseException:
                self.close()
                raise

    def start_window_manager(self):
        """Starts openbox, once more if it ends before it manages the screen; its complaints tell why."""
        log = tempfile.TemporaryFile(mode="w+")
        for _ in range(2):
            self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdout=log, stderr=log)
            try:
                wait_for(lambda: "_NET_SUPPORTING_WM_CHECK" in self.run("xprop", "-root")
                         or self.manager.poll() is not None, timeout=30, what="window manager")
            except AssertionError:
                log.seek(0)
                raise AssertionError(f"openbox did not manage the screen; it said: {log.read()[-2000:]}") from None
            if self.manager.poll() is None:
                self.wait_until_managing()
                return
        log.seek(0)
        raise AssertionError(f"openbox ended with status {self.manager.returncode}: {log.read()[-2000:]}")

    def wait_until_managing(self):
        """openbox announces itself before its start-up ends, and a window mapped in between is never managed
        (measured: 1 start in 6 on a busy machine). It is ready once it frames a probe window; a probe lost to
        that race is replaced.
        The first synthetic key on a new display switches the keyboard's map, and openbox drops and grabs its
        key bindings again meanwhile, losing a key combination that comes at that moment (a test's first
        Alt+F4): a harmless Shift spends that switch here, and the probe is managed only after openbox has
        taken the new map."""
        self.run("xdotool", "key", "shift")
        deadline = time.monotonic() + 60
        while True:
            probe = subprocess.Popen(["xmessage", "-geometry", "+0+0", "probe"], env=self.env,
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_for(lambda: "0x" in self.run("xprop", "-root", "_NET_CLIENT_LIST"),
                         timeout=2, what="the probe managed")
                return
            except AssertionError:
                if time.monotonic() > deadline:
                    raise AssertionError("openbox never managed a window") from None
            finally:
                probe.kill()
                probe.wait()
                wait_for(lambda: "0x" not in self.run("xprop", "-root", "_NET_CLIENT_LIST"), timeout=30,
                         what="the probe gone")

    def run(self, *args):
        return run(self.env, *args)

    def close(self):
        for process in (self.manager, self.server):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()


class Pixmap:
    """An 8-bit binary pixmap (PPM), read as RGB pixels."""

    def __init__(self, data):
        # The header ends at the one whitespace byte after the maximum value; pixel bytes may look like space.
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        assert header, "an 8-bit binary pixmap"
        self.width, self.height = int(header.group(1)), int(header.group(2))
        self.pixels = data[header.end():]

    def count(self, box, predicate):
        x0, y0, x1, y1 = box
        return sum(1 for y in range(y0, y1) for x in range(x0, x1) if predicate(self.at(x, y)))

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])

    def row(self, y, x=0, width=None):
        start = 3 * (y * self.width + x)
        return self.pixels[start:start + 3 * (self.width - x if width is None else width)]

    def find(self, picture):
        """Where `picture` appears here pixel for pixel, as (x, y) of its top-left corner, or None."""
        middle = picture.height // 2
        probe = picture.row(middle)
        i = self.pixels.find(probe)
        while i >= 0:
            x, y = (i // 3) % self.width, (i // 3) // self.width - middle
            if (i % 3 == 0 and y >= 0 and x + picture.width <= self.width and y + picture.height <= self.height
                    and all(self.row(y + r, x, picture.width) == picture.row(r) for r in range(picture.height))):
                return x, y
            i = self.pixels.find(probe, i + 1)
        return None


def picture(path, enlarge=1):
    """A picture file as pixels, optionally enlarged pixel by pixel."""
    return Pixmap(subprocess.run(["convert", path, "-alpha", "off", "-sample", f"{enlarge * 100}%", "-depth", "8",
                                  "ppm:-"], capture_output=True, timeout=20, check=True).stdout)


class PointerImage:
    """The pointer the X server shows now (XFixes): its size, hot spot and ARGB pixels."""

    def __init__(self, display):
        import ctypes
        import ctypes.util

        class Image(ctypes.Structure):
            _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                        ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                        ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                        ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]

        x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
        xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XFree.argtypes = [ctypes.c_void_p]
        xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(Image)
        xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        connection = x11.XOpenDisplay(display.name.encode())
        assert connection, f"no X display {display.name}"
        try:
            found = xfixes.XFixesGetCursorImage(connection)
            assert found, "no pointer image"
            image = found.contents
            self.size = (image.width, image.height)
            self.hot_spot = (image.xhot, image.yhot)
            # Each pixel is a long holding 32-bit ARGB.
            self.argb = [image.pixels[i] & 0xFFFFFFFF for i in range(image.width * image.height)]
            x11.XFree(found)
        finally:
            x11.XCloseDisplay(connection)

    def soft_edge(self):
        """How many pixels are partly transparent: a smooth outline has them, a jagged one none."""
        return sum(1 for pixel in self.argb if 0 < pixel >> 24 < 255)


class Screen(Pixmap):
    """One screenshot of the whole display."""

    def __init__(self, display):
        super().__init__(subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=display.env,
                                        capture_output=True, timeout=20, check=True).stdout)


class CalculatorTest(unittest.TestCase):
    """Starts the calculator on a fresh display; the window is found by its caption."""

    window_manager = False
    # Qt's scale factor for the program, and a screen large enough for the window at that scale.
    scale = None
    screen_size = "1024x768"
    screenshot_prefix = ""

    def setUp(self):
        self.assertTrue(PROGRAM, "KELVARA_PROGRAM names the executable")
        self.display = Display(self.window_manager, self.screen_size)
        self.addCleanup(self.display.close)
        self.home = tempfile.mkdtemp(prefix="kelvara-e2e-")
        self.addCleanup(shutil.rmtree, self.home, True)
        self.errors = os.path.join(self.home, "stderr")
        self.start()
        self.addCleanup(self.stop)

    def start(self):
        """Starts the program (again) and waits until its main window is mapped and on the accessibility bus."""
        env = dict(self.display.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", HOME=self.home,
                   XDG_RUNTIME_DIR=self.home, PATH=self.home + ":" + os.environ.get("PATH", ""))
        env.pop("QT_QPA_PLATFORM", None)
        if self.scale:
            env["QT_SCALE_FACTOR"] = str(self.scale)
        self.launch(env)
        self.window = self.wait_until_up(self.captioned_windows)[0]

    def launch(self, env):
        """Starts the program in a process group of its own, what it says on stderr kept in self.errors."""
        self.started = time.monotonic()
        with open(self.errors, "a") as errors:
            self.process = subprocess.Popen([PROGRAM], env=env, stdout=subprocess.DEVNULL, stderr=errors,
                                            start_new_session=True)

    def wait_until_up(self, mapped):
        """Waits until mapped() finds the main window and the program is on the accessibility bus; returns what
        mapped() found. A busy machine may take many seconds to start the program: a generous deadline, but a
        program that has ended or never maps its window fails with what it said."""
        def found():
            self.assertIsNone(self.process.poll(), "the program ended at start")
            return mapped()

        try:
            found_window = wait_for(found, timeout=90, interval=0.05, what="the main window mapped")
        except AssertionError as error:
            raise AssertionError(f"{error}; the program said: {self.said()}") from None
        wait_for(lambda: self.application() is not None, timeout=60, what="the program on the accessibility bus")
        return found_window

    def said(self):
        with open(self.errors, errors="replace") as errors:
            return errors.read()[-4000:] or "nothing"

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait(5)

    def x_env(self):
        """The environment that reaches the X server the program shows on."""
        return self.display.env

    def xdotool(self, *args):
        return run(self.x_env(), "xdotool", *args)

    def captioned_windows(self):
        """The mapped X windows with the main window's caption."""
        return self.xdotool("search", "--onlyvisible", "--name", "^" + CAPTION + "$").split()

    # The window system's view.

    def visible_windows(self):
        """The program's mapped top-level windows, main window first."""
        found = self.xdotool("search", "--onlyvisible", "--pid", str(self.process.pid)).split()
        return sorted(found, key=lambda window: window != self.window)

    def alert_window(self):
        """The mapped window that the window manager keeps above the main window for it, or None."""
        owner = f"window id # {hex(int(self.window))}"
        for window in self.visible_windows():
            if owner in self.display.run("xprop", "-id", window, "WM_TRANSIENT_FOR"):
                return window
        return None

    def window_name(self, window):
        return self.xdotool("getwindowname", window).strip()

    def size_hints(self, window):
        """The minimum and maximum size in WM_NORMAL_HINTS, as ((width, height), (width, height))."""
        hints = self.display.run("xprop", "-id", window, "WM_NORMAL_HINTS")
        sizes = {}
        for kind in ("minimum", "maximum"):
            match = re.search(rf"program specified {kind} size: (\d+) by (\d+)", hints)
            sizes[kind] = (int(match[1]), int(match[2])) if match else None
        return sizes["minimum"], sizes["maximum"]

    def window_size(self, window):
        return window_geometry(self.x_env(), window)[2:]

    def minimised(self, window):
        return minimised_state(run(self.x_env(), "xprop", "-id", window, "_NET_WM_STATE", "WM_STATE"))

    def runtime_error(self):
        """What the toolkit's path for uncaught errors reported: its line on stderr, or a message box window."""
        with open(self.errors) as errors:
            reported = [line for line in errors if "run-time error" in line.lower()]
        if self.process.poll() is None:
            reported += [f"a window named {name!r}" for name in map(self.window_name, self.visible_windows())
                         if name != CAPTION]
        return reported

    def assert_alive(self):
        self.assertIsNone(self.process.poll(), "the program ended")
        self.assertEqual(self.runtime_error(), [])

    def geometry(self):
        return window_geometry(self.x_env(), self.window)

    def pointer_to(self, x, y):
        """Moves the pointer to (x, y) pixels of the main window, in small steps as a hand would."""
        left, top, _, _ = self.geometry()
        self.xdotool("mousemove", str(left + x), str(top + y))

    def click(self, x, y, button=1):
        self.pointer_to(x, y)
        self.xdotool("click", str(button))

    def quick_drag(self, point, dx, dy, steps=10, pause=0.02):
        """Presses at (x, y) of the window, moves the pointer by (dx, dy) in even steps a pause apart, as a
        quick hand does, and lets go; returns where the window was before."""
        left, top = self.geometry()[:2]
        x, y = left + point[0], top + point[1]
        moves = []
        for step in range(1, steps + 1):
            moves += ["mousemove", str(x + dx * step // steps), str(y + dy * step // steps), "sleep", str(pause)]
        self.xdotool("mousemove", str(x), str(y), "mousedown", "1", *moves, "mouseup", "1")
        return left, top

    def settled_position(self, still=0.4, timeout=10):
        """The window's position once it has not moved for a while."""
        last, since = None, time.monotonic()
        deadline = since + timeout
        while time.monotonic() < deadline:
            now = self.geometry()[:2]
            if now != last:
                last, since = now, time.monotonic()
            elif time.monotonic() - since >= still:
                return now
            time.sleep(0.02)
        raise AssertionError(f"the window still moving after {timeout} s")

    def type_into(self, x, y, text):
        self.click(x, y)
        self.xdotool("type", "--delay", "20", text)

    def screen(self):
        return Screen(self.display)

    def assert_hand_pointer(self, size, hot_spot):
        """The X server shows the skin's hand at this size in device pixels, smooth-edged, pointing from this
        hot spot."""
        pointer = wait_for(lambda: (lambda p: p if p.size == size else None)(PointerImage(self.display)),
                           what=f"the hand pointer at {size}")
        self.assertEqual(pointer.hot_spot, hot_spot)
        # Anti-aliased down both sides of every row at least.
        self.assertGreaterEqual(pointer.soft_edge(), 2 * size[1], "the hand's outline is jagged")

    def window_pixels(self, x, y):
        left, top, _, _ = self.geometry()
        return self.screen().at(left + x, top + y)

    def save_screenshot(self, name, box):
        if not SCREENSHOTS:
            return
        os.makedirs(SCREENSHOTS, exist_ok=True)
        x, y, w, h = box
        self.write_crop(f"{w}x{h}+{x}+{y}", os.path.join(SCREENSHOTS, self.screenshot_prefix + name))

    def write_crop(self, geometry, path):
        subprocess.run(["import", "-window", "root", "-crop", geometry, "+repage", path], env=self.display.env,
                       check=True, timeout=20)

    # Assistive technology's view.

    def application(self):
        import pyatspi
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == APP_ID:
                return app
        return None

    def accessible_windows(self):
        app = self.application()
        return [app.getChildAtIndex(i) for i in range(app.childCount)] if app else []

    @staticmethod
    def descendants(accessible):
        for i in range(accessible.childCount):
            child = accessible.getChildAtIndex(i)
            if child is None:  # gone since the count was read
                continue
            yield child
            yield from CalculatorTest.descendants(child)

    @staticmethod
    def showing(accessible):
        import pyatspi
        return accessible.getState().contains(pyatspi.STATE_SHOWING)

    def accessible_alert(self):
        """The alert as assistive technology sees it, while shown."""
        return next((w for w in self.accessible_windows() if w.name == "Input error" and self.showing(w)), None)

    @staticmethod
    def focused(accessible):
        import pyatspi
        return accessible.getState().contains(pyatspi.STATE_FOCUSED)

    @staticmethod
    def extents(accessible):
        import pyatspi
        return accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)

    def labels(self, window):
        return [a.name for a in self.descendants(window) if a.getRoleName() == "label" and self.showing(a)]
