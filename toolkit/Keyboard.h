#pragma once

// What the keyboard does in a window, the same on every platform: the order Tab moves the focus in, where
// the focus goes from a control being hidden, what Enter does on a focused control and which control answers
// Escape. The focus itself is the form's FocusTracker's.

#include <cstddef>
#include <string>
#include <vector>

namespace forms {

class Control;
class Form;

// Controls with a place in the focus order, by their tab index (design order among equals); with shownOnly,
// those hidden are left out.
std::vector<Control*> tabOrder(const Form& form, bool shownOnly);
// Where Tab (back: Shift+Tab) moves the focus from `from`, which may be null, among the shown controls;
// null when none takes the focus.
Control* nextInTabOrder(const Form& form, const Control* from, bool back);
// Where the focus goes from a control that is being hidden: the next shown one after it, else the first.
Control* focusAfterHiding(const Form& form, const Control& hidden);
// What a classic single-line box holds, in characters.
inline constexpr std::size_t kTextBoxMaxCharacters = 32767;
// A single-line text box takes what one edit inserted (a paste, a drop) up to its first line break, as the
// classic single-line box takes a paste, and at most kTextBoxMaxCharacters in all: the box's text after the
// edit, from its text before.
std::string singleLineEdit(const std::string& before, const std::string& after);
// Like a classic command button, Enter presses a focused button as Space does; true when it was one.
bool answerEnter(Control& focused);
// Runs the click of the window's visible cancel control; a modal window without one closes as the window
// system's close closes it. True when Escape was answered.
bool answerEscape(Form& form);

} // namespace forms
