#pragma once

// The order a window's controls lie in, the same on every platform: labels and images in design order, the
// controls with windows of their own above them in design order. A control whose platform part is created
// after its window loaded takes its place among those that exist as if it had been created with them.

#include <vector>

namespace forms {

class Control;
class Form;

// Bottom to top, whether or not they have their platform part.
std::vector<Control*> stackingOrder(const Form& form);
// The lowest control with its platform part that lies above `control`; null when none does.
Control* createdAbove(const Form& form, const Control& control);
// The next control in design order that has its platform part; null when none has.
Control* createdAfter(const Form& form, const Control& control);

} // namespace forms
