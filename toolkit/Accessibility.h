#pragma once

// What assistive technology is told of a control, the same on every platform; the layers only translate it
// into their own interfaces.

#include <string>

namespace forms {

class Control;

// A caption as read aloud: without the line breaks at its ends, which only space it out on screen.
std::string accessibleText(const std::string& caption);
// The design's name for the control, else a label's caption as read aloud.
std::string accessibleName(const Control& control);
// A label that clicks offers the platform's press action, which clicks it as the pointer does.
bool offersPress(const Control& control);
// Wholly outside its window's area (a panel slid out, a picture store below the window): not showing.
bool offscreen(const Control& control);

} // namespace forms
