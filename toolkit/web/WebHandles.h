#pragma once

#include <cstddef>
#include <vector>

namespace forms {
class Timer;
}

namespace forms::web {

class WebControl;
class WebWindow;

// The numbers the page knows windows, controls and timers by: their places in a list that never shrinks.
template <typename T> class Handles {
public:
    int add(T* item) {
        items_.push_back(item);
        return static_cast<int>(items_.size()) - 1;
    }
    void remove(int id) { items_[static_cast<std::size_t>(id)] = nullptr; }
    T* find(int id) const {
        return id >= 0 && id < static_cast<int>(items_.size()) ? items_[static_cast<std::size_t>(id)]
                                                               : nullptr;
    }

private:
    std::vector<T*> items_;
};

Handles<WebWindow>& windows();
Handles<WebControl>& controls();
Handles<Timer>& timers();
// Shown windows, the latest last: the active one is the latest that is not minimised.
std::vector<WebWindow*>& shownWindows();

} // namespace forms::web
