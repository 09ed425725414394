"""Wayland compositors of a test's own, each in a private runtime directory and stopped with everything it
started: a headless weston (pixman renderer, a seat fed by the test-seat module through a FIFO, weston's
screenshooter allowed by --debug), and GNOME's mutter nested in an Xvfb display, which takes its input from
that display. Both offer the same few operations: send input commands, list the windows on screen, take a
screenshot, and the environment for a client."""

import glob
import os
import re
import shutil
import signal
import subprocess
import tempfile

from harness import minimised_state, run, start_xvfb, wait_for, window_geometry

MODULE = os.environ.get("KELVARA_WESTON_SEAT", "")
WIDTH, HEIGHT = 1024, 768
SOCKET = "wayland-kelvara"

# Linux input codes for what the tests type.
KEYS = {**{str(d): 1 + d for d in range(1, 10)}, "0": 11, ".": 52, "\n": 28}


class Compositor:
    name = ""

    def __init__(self):
        self.runtime = tempfile.mkdtemp(prefix=f"kelvara-{self.name}-")
        os.chmod(self.runtime, 0o700)
        self.log = os.path.join(self.runtime, f"{self.name}.log")
        self.x_display = None
        self.processes = []

    def start(self, command, env):
        """Starts a process in a process group of its own, so that closing also stops what it started."""
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                   start_new_session=True)
        self.processes.append(process)
        return process

    def base_env(self):
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime)
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        return env

    def died(self):
        return self.process.poll() is not None

    def assert_running(self):
        if self.died():
            with open(self.log) as log:
                raise AssertionError(f"{self.name} stopped:\n" + log.read())

    def logged(self, pattern):
        with open(self.log, errors="replace") as log:
            match = re.search(pattern, log.read())
        return match and match.group(1)

    def client_env(self):
        env = dict(self.base_env(), WAYLAND_DISPLAY=SOCKET, XDG_SESSION_TYPE="wayland")
        if self.x_display:
            env["DISPLAY"] = self.x_display
        return env

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGTERM)
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    pass
            try:
                os.killpg(process.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            process.wait(5)
        shutil.rmtree(self.runtime, True)


class Weston(Compositor):
    name = "weston"

    def __init__(self, xwayland):
        super().__init__()
        self.fifo = os.path.join(self.runtime, "input")
        os.mkfifo(self.fifo)
        config = os.path.join(self.runtime, "weston.ini")
        with open(config, "w") as ini:
            ini.write("[shell]\npanel-position=none\nbackground-color=0xff203040\nanimation=none\n"
                      "startup-animation=none\nclose-animation=none\n")
        command = ["weston", "--backend=headless-backend.so", "--use-pixman", f"--width={WIDTH}",
                   f"--height={HEIGHT}", f"--socket={SOCKET}", "--idle-time=0", "--debug", f"--config={config}",
                   f"--modules={MODULE}", f"--log={self.log}"]
        if xwayland:
            command.append("--xwayland")
        self.process = self.start(command, dict(self.base_env(), KELVARA_WESTON_INPUT=self.fifo))
        wait_for(lambda: os.path.exists(os.path.join(self.runtime, SOCKET)) or self.died(), what="weston's socket")
        self.assert_running()
        if xwayland:
            self.x_display = wait_for(lambda: self.logged(r"xserver listening on display (:\d+)"),
                                      what="XWayland's display")
        self.input = open(self.fifo, "w")
        self.replies = 0

    def send(self, *commands):
        self.input.write("".join(command + "\n" for command in commands))
        self.input.flush()

    def windows(self):
        """The windows on screen, topmost first: (x, y, width, height, surface width, surface height, app id,
        title)."""
        self.replies += 1
        path = os.path.join(self.runtime, f"views-{self.replies}")
        self.send(f"views {path}")
        wait_for(lambda: os.path.exists(path) or self.died(), what="the compositor's window list")
        self.assert_running()
        with open(path) as reply:
            rows = [line.rstrip("\n").split(" ", 7) for line in reply]
        return [tuple(int(v) for v in row[:6]) + tuple(row[6:]) for row in rows]

    def screenshot(self):
        """A PNG of the whole output, through weston's screenshooter."""
        shots = tempfile.mkdtemp(dir=self.runtime)
        subprocess.run(["weston-screenshooter"], cwd=shots, env=self.client_env(), timeout=20, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return wait_for(lambda: glob.glob(os.path.join(shots, "*.png")), what="the screenshot")[0]

    def close(self):
        if getattr(self, "input", None):
            self.input.close()
        super().close()


class NestedMutter(Compositor):
    """mutter --nested in an Xvfb display of its own, its one output filling that display, with XWayland. Input
    goes to the Xvfb display (xdotool) and reaches clients through mutter; windows are listed from XWayland."""

    name = "mutter"
    XDOTOOL_KEYS = {code: {".": "period", "\n": "Return"}.get(char, char) for char, code in KEYS.items()}

    def __init__(self):
        super().__init__()
        self.host, host_display = start_xvfb(f"{WIDTH}x{HEIGHT}", start_new_session=True)
        self.processes.append(self.host)
        self.host_env = dict(self.base_env(), DISPLAY=host_display)
        with open(self.log, "w") as log:
            self.process = subprocess.Popen(
                ["mutter", "--nested", "--wayland", f"--wayland-display={SOCKET}", "--sm-disable"],
                env=dict(self.host_env, MUTTER_DEBUG_DUMMY_MODE_SPECS=f"{WIDTH}x{HEIGHT}"), stdout=log,
                stderr=subprocess.STDOUT, start_new_session=True)
        self.processes.append(self.process)
        self.x_display = wait_for(lambda: self.logged(r"Using public X11 display (:\d+)") or self.died(),
                                  what="mutter's XWayland display")
        self.assert_running()
        self.xauthority = wait_for(lambda: glob.glob(os.path.join(self.runtime, ".mutter-Xwaylandauth.*")),
                                   what="XWayland's authority file")[0]

    def client_env(self):
        return dict(super().client_env(), XAUTHORITY=self.xauthority)

    def x11(self, *args, env=None):
        return run(env or self.client_env(), *args)

    def send(self, *commands):
        for command in commands:
            words = command.split()
            if words[0] == "move":
                self.x11("xdotool", "mousemove", words[1], words[2], env=self.host_env)
                self.pointer = [f"x:{words[1]}", f"y:{words[2]}"]
            elif words[0] == "down":
                # mutter hands the pointer to a window a moment after it moves; a press before that goes nowhere.
                # It never does to a window under a modal dialog: there the press goes nowhere, as it should.
                try:
                    wait_for(lambda: self.x11("xdotool", "getmouselocation").split()[:2] == self.pointer,
                             timeout=2, interval=0.005, what="the pointer arriving in XWayland")
                except AssertionError:
                    pass
                self.x11("xdotool", "mousedown", "1", env=self.host_env)
            elif words[0] == "up":
                self.x11("xdotool", "mouseup", "1", env=self.host_env)
            elif words[0] == "key":
                self.x11("xdotool", "key", self.XDOTOOL_KEYS[int(words[1])], env=self.host_env)

    def windows(self):
        """The X11 windows on screen, topmost first, in the same form as weston's list (no surface beyond the
        window, no app id)."""
        stacking = self.x11("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
        rows = []
        for window in reversed(re.findall(r"0x[0-9a-f]+", stacking)):
            state = self.x11("xprop", "-id", window, "WM_STATE", "_NET_WM_STATE", "_NET_WM_NAME")
            if minimised_state(state):
                continue
            geometry = window_geometry(self.client_env(), str(int(window, 16)))
            if not geometry:
                continue
            title = re.search(r'_NET_WM_NAME\(UTF8_STRING\) = "(.*)"', state)
            x, y, width, height = geometry
            rows.append((x, y, width, height, width, height, "-", title.group(1) if title else ""))
        return rows

    def screenshot(self):
        self.shots = getattr(self, "shots", 0) + 1
        path = os.path.join(self.runtime, f"screenshot-{self.shots}.png")
        subprocess.run(["import", "-window", "root", path], env=self.host_env, check=True, timeout=20)
        return path

    def close(self):
        displays = [self.x_display, self.logged(r"using (:\d+) for managed services")] if self.x_display else []
        pid = self.process.pid
        super().close()
        # XWayland's lock files and sockets, should mutter have had no chance to remove them.
        for display in filter(None, displays):
            lock = f"/tmp/.X{display[1:]}-lock"
            try:
                with open(lock) as owner:
                    ours = int(owner.read().strip() or 0) == pid
            except OSError:
                continue
            if ours:
                for path in (lock, f"/tmp/.X11-unix/X{display[1:]}"):
                    if os.path.exists(path):
                        os.remove(path)
