#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace forms {

class Form;
class NativeTimer;

// Intervals below this tick at this period: the classic desktop timer's resolution of 1/64 s, the pace the
// window animations were designed for.
inline constexpr std::chrono::microseconds kMinimumTickPeriod{15625};

struct TimerProps {
    std::string name;
    int interval = 0; // milliseconds; 0 never ticks
    bool enabled = false;
};

// Ticks while its window is loaded and it is enabled with a non-zero interval.
class Timer {
public:
    Timer(Form& form, TimerProps design);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    const std::string& name() const { return design_.name; }
    bool enabled() const;
    // Enabling a running timer keeps its one series of ticks.
    void setEnabled(bool value);
    int interval() const;
    void setInterval(int milliseconds);

    std::function<void()> onTimer;

    // One tick now, as the platform's timer delivers it; also how tests step animations. False when the
    // timer is off and so did not tick.
    bool tick();

    void resetToDesign() { props_ = design_; }
    void stop();
    void sync();

private:
    Form& form_;
    TimerProps design_;
    TimerProps props_;
    std::unique_ptr<NativeTimer> native_;
};

} // namespace forms
