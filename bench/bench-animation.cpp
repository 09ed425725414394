// Runs whole Calculate -> results -> Back cycles of the calculator window on real timers and prints how the
// ticks were paced, what each cost the GUI thread, and whether each tick reached the X server as a frame
// of its own. Needs an X display without a window manager (Xvfb).
//
//   bench-animation [CYCLES]

#include "toolkit/Application.h"
#include "toolkit/TestDriver.h"
#include "windows/main/FormMain.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kPeriodMs = 15.625;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// A run is the ticks one press sets going: Calculate slides the panel out and grows the window, Back
// shrinks it and slides the panel in.
struct Tick {
    int timer;
    int step; // 1 for the timer's first tick in the run
    int run;
    Clock::time_point at;
    double cpuAtMs;
    double handlerCpuMs;
    double cpuUntilNextMs = -1; // to the next tick or press
};

// When Qt painted anything in the window.
class PaintLog : public QObject {
public:
    explicit PaintLog(QWidget* window)
        : window_(window) {}
    std::vector<Clock::time_point> paints;

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Paint && object->isWidgetType() &&
            static_cast<QWidget*>(object)->window() == window_)
            paints.push_back(Clock::now());
        return false;
    }

private:
    QWidget* window_;
};

bool anyWithin(const std::vector<Clock::time_point>& times, Clock::time_point from, Clock::time_point to) {
    const auto first = std::lower_bound(times.begin(), times.end(), from);
    return first != times.end() && *first < to;
}

// Every drawing on the window, as the X server reports it, timed on arrival. A connection of its own, read
// on its own thread, so the GUI thread's pace does not delay the timestamps.
class DamageWatch {
public:
    explicit DamageWatch(unsigned long window)
        : thread_([this, window] { run(window); }) {}
    ~DamageWatch() { stop(); }
    void stop() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    const std::vector<Clock::time_point>& events() const { return events_; }

private:
    void run(unsigned long window) {
        Display* display = XOpenDisplay(nullptr);
        int eventBase = 0;
        int errorBase = 0;
        if (!display || !XDamageQueryExtension(display, &eventBase, &errorBase)) {
            std::fprintf(stderr, "bench-animation: no X display with the DAMAGE extension\n");
            std::exit(2);
        }
        XDamageCreate(display, window, XDamageReportRawRectangles);
        XSync(display, False);
        while (!stop_) {
            pollfd fd{ConnectionNumber(display), POLLIN, 0};
            if (!XPending(display)) poll(&fd, 1, 20);
            while (XPending(display)) {
                XEvent event;
                XNextEvent(display, &event);
                if (event.type == eventBase + XDamageNotify) events_.push_back(Clock::now());
            }
        }
        XCloseDisplay(display);
    }

    std::atomic<bool> stop_{false};
    std::vector<Clock::time_point> events_;
    std::thread thread_;
};

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

double maximum(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

} // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // A user's pause before each press, so what a press draws is not taken for a tick's frame.
    constexpr int kPauseMs = 150;
    XInitThreads();
    forms::Application application(argc, argv);
    forms::testing::setManualTimers(false);
    FormMain form;
    form.show();

    QWidget* top = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->windowTitle().toStdString() == forms::testing::windowTitle(form))
            top = widget;
    if (!top) {
        std::fprintf(stderr, "bench-animation: the calculator window did not show\n");
        return 1;
    }

    forms::Timer* timers[] = {&form.tmr1, &form.tmrForm1, &form.tmrForm2, &form.tmr2};
    const char* names[] = {"tmr1", "tmrForm1", "tmrForm2", "tmr2"};
    std::vector<Tick> ticks;
    int run = -1;
    const auto closePrevious = [&](double cpu) {
        if (!ticks.empty() && ticks.back().cpuUntilNextMs < 0)
            ticks.back().cpuUntilNextMs = cpu - ticks.back().cpuAtMs;
    };
    const auto press = [&](forms::Control& button) {
        closePrevious(threadCpuMs());
        ++run;
        forms::testing::click(button);
    };
    for (int t = 0; t < 4; ++t) {
        forms::Timer& timer = *timers[t];
        timer.onTimer = [&, t, original = timer.onTimer] {
            const auto at = Clock::now();
            const double cpu = threadCpuMs();
            closePrevious(cpu);
            original();
            const bool sameTimer = !ticks.empty() && ticks.back().timer == t && ticks.back().run == run;
            ticks.push_back({t, sameTimer ? ticks.back().step + 1 : 1, run, at, cpu, threadCpuMs() - cpu});
            // Results shown: press Back.
            if (t == 1 && !form.tmrForm1.enabled())
                QTimer::singleShot(kPauseMs, [&] { press(form.cmdBack); });
            // Input panel back in place: the cycle is over.
            if (t == 3 && !form.tmr2.enabled()) {
                if ((run + 1) / 2 < cycles)
                    QTimer::singleShot(kPauseMs, [&] { press(form.cmdCalculate); });
                else
                    QTimer::singleShot(kPauseMs, [&] {
                        closePrevious(threadCpuMs());
                        // Not quit(): that closes the windows, and closing the main window ends the process.
                        QCoreApplication::exit(0);
                    });
            }
        };
    }

    PaintLog paintLog(top);
    QCoreApplication::instance()->installEventFilter(&paintLog);
    DamageWatch damage(top->winId());
    // Let the window settle on the screen before the first press.
    QTimer::singleShot(500, [&] {
        form.txtTank.setText("45");
        form.txtTopUp.setText("3");
        form.txtMileage.setText("550");
        form.txtPrice.setText("1.95");
        press(form.cmdCalculate);
    });
    QTimer::singleShot(60000, [] {
        std::fprintf(stderr, "bench-animation: the cycles did not finish within 60 s\n");
        std::exit(1);
    });
    const double processCpuBefore = double(std::clock()) / CLOCKS_PER_SEC * 1e3;
    application.run();
    damage.stop();
    const double processCpuMs = double(std::clock()) / CLOCKS_PER_SEC * 1e3 - processCpuBefore;

    const auto& frames = damage.events();
    const auto name = [&](const Tick& tick) {
        return std::string(names[tick.timer]) + " tick " + std::to_string(tick.step);
    };
    std::vector<double> intervals, handlerCpu, tickCpu, latency;
    std::string costliest;
    int counts[4] = {};
    int painted = 0, framed = 0, late = 0;
    std::map<std::string, int> drewNothing, noFrame;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        const Tick& tick = ticks[i];
        ++counts[tick.timer];
        handlerCpu.push_back(tick.handlerCpuMs);
        // The GUI thread's whole cost of a tick: the handler, drawing the frame and anything else it did
        // until the next tick or press.
        tickCpu.push_back(tick.cpuUntilNextMs);
        if (tickCpu.back() >= maximum(tickCpu)) costliest = name(tick);
        auto end = tick.at + std::chrono::microseconds(int(2000 * kPeriodMs));
        if (i + 1 < ticks.size() && ticks[i + 1].run == tick.run) {
            intervals.push_back(ms(ticks[i + 1].at - tick.at));
            if (intervals.back() > 2 * kPeriodMs) ++late;
            end = std::min(end, ticks[i + 1].at);
        }
        // A tick that changed nothing on screen paints nothing and owes no frame.
        if (!anyWithin(paintLog.paints, tick.at, end)) {
            ++drewNothing[name(tick)];
            continue;
        }
        ++painted;
        // Its own frame: drawn on the server before the next tick started.
        if (anyWithin(frames, tick.at, end)) {
            ++framed;
            latency.push_back(ms(*std::lower_bound(frames.begin(), frames.end(), tick.at) - tick.at));
        } else {
            ++noFrame[name(tick)];
        }
    }
    // Damage events of one frame arrive together; a pause of 4 ms or more starts another frame.
    int frameCount = 0;
    for (std::size_t i = 0; i < frames.size(); ++i)
        if (i == 0 || ms(frames[i] - frames[i - 1]) >= 4) ++frameCount;
    const auto list = [](const std::map<std::string, int>& ticks) {
        std::string text;
        for (const auto& [name, count] : ticks)
            text += " " + name + " (x" + std::to_string(count) + ")";
        return text.empty() ? std::string(" none") : text;
    };

    std::printf(
        "animation: %d Calculate -> results -> Back cycles, %zu ticks (%zu a cycle), period %.3f ms\n",
        cycles, ticks.size(), ticks.size() / std::size_t(cycles), kPeriodMs);
    std::printf("  ticks a cycle:       ");
    for (int t = 0; t < 4; ++t)
        std::printf("%s %d%s", names[t], counts[t] / cycles, t < 3 ? ", " : "\n");
    std::printf("  tick interval:       median %.2f ms, max %.2f ms; later than %.2f ms: %d\n",
                median(intervals), maximum(intervals), 2 * kPeriodMs, late);
    std::printf(
        "  GUI-thread CPU/tick: median %.3f ms, max %.3f ms (%s); handler alone: median %.3f, max %.3f\n",
        median(tickCpu), maximum(tickCpu), costliest.c_str(), median(handlerCpu), maximum(handlerCpu));
    std::printf("  frames on X server:  %d over the run (%zu damage events)\n", frameCount, frames.size());
    std::printf(
        "  ticks that painted:  %d; each with its own frame on the server before the next tick: %d (%s)\n",
        painted, framed, framed == painted ? "every one" : "NOT every one");
    std::printf("  painted, no frame:  %s\n", list(noFrame).c_str());
    std::printf("  painted nothing:    %s\n", list(drewNothing).c_str());
    std::printf("  tick -> first damage: median %.2f ms, max %.2f ms\n", median(latency), maximum(latency));
    std::printf("  process CPU over the run: %.1f ms\n", processCpuMs);
    return 0;
}
