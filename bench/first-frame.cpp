// Starts a program on the X display in DISPLAY and reports, as key=value lines, how long it took from the
// fork until its first top-level window first drew, and the process's peak memory a moment later. With
// --complete it also reports when the window first showed what it shows once settled (its complete first
// frame): the window's pixels are read after each drawing and compared with those at the end of the hold.
// With --idle it then watches the settled program and reports the CPU time, wake-ups and frames it spent
// idle.
//
//   first-frame [--hold MS] [--complete] [--idle SETTLE_MS MEASURE_MS] -- PROGRAM [ARGS...]
//
// The display must have no window manager: a top-level window is then a direct child of the root window,
// and nothing else draws on it.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A window may be gone by the time its damage object is asked for.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

long statusField(const std::string& path, const std::string& key) {
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line.compare(0, key.size(), key) == 0 && line[key.size()] == ':')
            return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    return -1;
}

struct Usage {
    double cpuMs = 0;
    long wakeups = 0;
    long mainWakeups = 0;
    int threads = 0;
};

// Summed over every thread: run time from schedstat (nanoseconds), and each time a thread was switched in.
Usage usage(pid_t pid) {
    Usage total;
    const std::string taskDir = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(taskDir.c_str());
    if (!dir) return total;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        const std::string task = taskDir + "/" + entry->d_name;
        std::ifstream sched(task + "/schedstat");
        long long runNs = 0;
        if (sched >> runNs) total.cpuMs += double(runNs) / 1e6;
        const long wakeups = statusField(task + "/status", "voluntary_ctxt_switches") +
                             statusField(task + "/status", "nonvoluntary_ctxt_switches");
        total.wakeups += wakeups;
        if (std::to_string(pid) == entry->d_name) total.mainWakeups = wakeups;
        ++total.threads;
    }
    closedir(dir);
    return total;
}

class Probe {
public:
    explicit Probe(Display* display)
        : display_(display) {
        int errorBase = 0;
        if (!XDamageQueryExtension(display_, &damageEventBase_, &errorBase)) {
            std::fprintf(stderr, "first-frame: the X server has no DAMAGE extension\n");
            std::exit(2);
        }
        XSetErrorHandler(ignoreXError);
        XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
        XSync(display_, False);
    }

    // Handles what the server has sent within the timeout; true when some window was drawn on.
    bool pump(int timeoutMs) {
        bool drawn = false;
        drawnOn_ = None;
        if (!XPending(display_)) {
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, timeoutMs);
        }
        while (XPending(display_)) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == DefaultRootWindow(display_)) {
                // Tracked from creation, so a window that draws as soon as it is mapped is not missed.
                watch(event.xcreatewindow.window);
            } else if (event.type == MapNotify) {
                watch(event.xmap.window);
            } else if (event.type == damageEventBase_ + XDamageNotify) {
                const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
                // Emptied, so the next drawing is reported too.
                XDamageSubtract(display_, damage.damage, None, None);
                drawn = true;
                drawnOn_ = damage.drawable;
            }
        }
        return drawn;
    }

    // The window drawn on in the last pump that drew.
    Window drawnOn() const { return drawnOn_; }

    // The window's pixels as the server shows them; empty when it is not viewable.
    std::vector<char> pixels(Window window) const {
        XWindowAttributes attributes{};
        if (!window || !XGetWindowAttributes(display_, window, &attributes) ||
            attributes.map_state != IsViewable)
            return {};
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (!image) return {};
        std::vector<char> result(image->data, image->data + image->bytes_per_line * image->height);
        XDestroyImage(image);
        return result;
    }

private:
    void watch(Window window) {
        if (watched_.insert(window).second) XDamageCreate(display_, window, XDamageReportNonEmpty);
    }

    Display* display_;
    int damageEventBase_ = 0;
    std::set<Window> watched_;
    Window drawnOn_ = None;
};

int usageError() {
    std::fprintf(
        stderr,
        "usage: first-frame [--hold MS] [--complete] [--idle SETTLE_MS MEASURE_MS] -- PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int holdMs = 300;
    bool complete = false;
    int settleMs = 0;
    int measureMs = 0;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--hold") == 0 && i + 1 < argc) {
            holdMs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--complete") == 0) {
            complete = true;
        } else if (std::strcmp(argv[i], "--idle") == 0 && i + 2 < argc) {
            settleMs = std::atoi(argv[++i]);
            measureMs = std::atoi(argv[++i]);
        } else {
            return usageError();
        }
    }
    if (i + 1 >= argc) return usageError();
    char** command = argv + i + 1;

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "first-frame: cannot open display %s\n", std::getenv("DISPLAY"));
        return 2;
    }
    Probe probe(display);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        close(ConnectionNumber(display));
        execvp(command[0], command);
        std::perror(command[0]);
        _exit(127);
    }

    double firstFrameMs = -1;
    while (msSince(start) < 20000) {
        if (probe.pump(50)) {
            firstFrameMs = msSince(start);
            break;
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "first-frame: %s ended before drawing\n", command[0]);
            return 1;
        }
    }

    int result = 0;
    if (firstFrameMs < 0) {
        std::fprintf(stderr, "first-frame: %s drew nothing within 20 s\n", command[0]);
        result = 1;
    } else {
        if (complete) {
            // Each drawing as the probe saw it, until the hold is over; the first that equals the last is the
            // complete frame. Read after the drawing's notice arrives, so a frame counts from when it was
            // seen.
            const Window window = probe.drawnOn();
            std::vector<std::pair<double, std::vector<char>>> frames{{firstFrameMs, probe.pixels(window)}};
            const auto holdStart = Clock::now();
            while (msSince(holdStart) < holdMs)
                if (probe.pump(10)) frames.emplace_back(msSince(start), probe.pixels(window));
            const std::vector<char> settled = probe.pixels(window);
            double completeMs = -1;
            for (const auto& [at, shown] : frames)
                if (!shown.empty() && shown == settled) {
                    completeMs = at;
                    break;
                }
            std::printf("complete_frame_ms=%.2f\nframes=%zu\n", completeMs, frames.size());
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        }
        const std::string status = "/proc/" + std::to_string(pid) + "/status";
        std::printf("first_frame_ms=%.2f\npeak_kb=%ld\n", firstFrameMs, statusField(status, "VmHWM"));
        if (measureMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
            const Usage before = usage(pid);
            const auto measureStart = Clock::now();
            int frames = 0;
            while (msSince(measureStart) < measureMs)
                frames += probe.pump(20) ? 1 : 0;
            const Usage after = usage(pid);
            std::printf("idle_seconds=%.1f\nidle_cpu_ms=%.3f\nidle_wakeups=%ld\nidle_main_wakeups=%ld\n"
                        "idle_frames=%d\nthreads=%d\n",
                        msSince(measureStart) / 1000, after.cpuMs - before.cpuMs,
                        after.wakeups - before.wakeups, after.mainWakeups - before.mainWakeups, frames,
                        after.threads);
        }
    }
    kill(pid, SIGTERM);
    for (int waited = 0; waitpid(pid, nullptr, WNOHANG) == 0; ++waited) {
        if (waited == 200) kill(pid, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XCloseDisplay(display);
    return result;
}
