"""A headless weston of its own for each test: the pixman renderer, a seat fed by the test-seat module through a
FIFO, optionally XWayland, and weston's screenshooter (allowed by --debug)."""

import glob
import os
import shutil
import signal
import subprocess
import tempfile

from harness import wait_for

MODULE = os.environ.get("KELVARA_WESTON_SEAT", "")
WIDTH, HEIGHT = 1024, 768

# Linux input codes for what the tests type.
KEYS = {**{str(d): 1 + d for d in range(1, 10)}, "0": 11, ".": 52, "\n": 28}


class Weston:
    def __init__(self, xwayland):
        self.runtime = tempfile.mkdtemp(prefix="kelvara-weston-")
        os.chmod(self.runtime, 0o700)
        self.fifo = os.path.join(self.runtime, "input")
        os.mkfifo(self.fifo)
        config = os.path.join(self.runtime, "weston.ini")
        with open(config, "w") as ini:
            ini.write("[shell]\npanel-position=none\nbackground-color=0xff203040\n")
        self.log = os.path.join(self.runtime, "weston.log")
        self.socket = "wayland-kelvara"
        command = ["weston", "--backend=headless-backend.so", "--use-pixman", f"--width={WIDTH}",
                   f"--height={HEIGHT}", f"--socket={self.socket}", "--idle-time=0", "--debug",
                   f"--config={config}", f"--modules={MODULE}", f"--log={self.log}"]
        if xwayland:
            command.append("--xwayland")
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, KELVARA_WESTON_INPUT=self.fifo)
        for name in ("WAYLAND_DISPLAY", "DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        self.process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        start_new_session=True)
        wait_for(lambda: os.path.exists(os.path.join(self.runtime, self.socket)) or self.died(),
                 what="weston's socket")
        self.assert_running()
        self.x_display = None
        if xwayland:
            self.x_display = wait_for(self.logged_x_display, what="XWayland's display")
        self.input = open(self.fifo, "w")
        self.replies = 0

    def died(self):
        return self.process.poll() is not None

    def assert_running(self):
        if self.died():
            with open(self.log) as log:
                raise AssertionError("weston stopped:\n" + log.read())

    def logged_x_display(self):
        with open(self.log) as log:
            for line in log:
                if "xserver listening on display" in line:
                    return line.split()[-1]
        return None

    def client_env(self):
        env = dict(os.environ, XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=self.socket,
                   XDG_SESSION_TYPE="wayland")
        env.pop("QT_QPA_PLATFORM", None)
        env.pop("DISPLAY", None)
        if self.x_display:
            env["DISPLAY"] = self.x_display
        return env

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
        png = wait_for(lambda: glob.glob(os.path.join(shots, "*.png")), what="the screenshot")[0]
        return png

    def close(self):
        if getattr(self, "input", None):
            self.input.close()
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait(5)
        # Clients weston started (XWayland, the shell's helpers) share its process group.
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        shutil.rmtree(self.runtime, True)
