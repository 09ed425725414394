#pragma once

#include "toolkit/Form.h"

#include <deque>
#include <initializer_list>

namespace forms {

// Controls of one kind sharing a name, addressed by index from 0.
template <typename T> class ControlArray {
public:
    ControlArray(Form& form, std::initializer_list<ControlProps> designs) {
        for (const ControlProps& design : designs)
            items_.emplace_back(form, design);
    }
    T& operator[](int index) {
        if (index < 0 || index > ubound())
            throw Error("Control array element '" + std::to_string(index) + "' doesn't exist");
        return items_[static_cast<std::size_t>(index)];
    }
    int ubound() const { return static_cast<int>(items_.size()) - 1; }

private:
    std::deque<T> items_; // controls register their address with the form, so they must never move
};

} // namespace forms
