#pragma once

// The numbers that cross between the program and the page's script, listed once: the build writes them
// for the script as KV_KIND, KV_PHASE and KV_TRAIT (toolkit/web/CMakeLists.txt reads these three lines),
// and the asserts below tie the kinds to the toolkit's own, so a reordered ControlKind stops the build, not
// the page.

#include "toolkit/Control.h"

// clang-format off
#define KV_CONTROL_KINDS(X) X(Label, 0) X(TextBox, 1) X(PictureButton, 2) X(PictureBox, 3) X(Image, 4) X(Frame, 5)
#define KV_POINTER_PHASES(X) X(Press, 0) X(Move, 1) X(Release, 2)
#define KV_CONTROL_TRAITS(X) X(TakesFocus, 1) X(ClicksItself, 2) X(FillsBack, 4)
// clang-format on

namespace forms::web {

#define KV_SAME_KIND(name, number)                                                                           \
    static_assert(static_cast<int>(ControlKind::name) == (number), "the page numbers " #name " otherwise");
KV_CONTROL_KINDS(KV_SAME_KIND)
#undef KV_SAME_KIND

// What a pointer event on an element was.
#define KV_PHASE(name, number) name = (number),
enum class PointerPhase { KV_POINTER_PHASES(KV_PHASE) };
#undef KV_PHASE

// What the toolkit decides for a control of each kind (toolkit/Control.h), told to the page as bits when the
// control is made, so the script holds no rule of its own about kinds.
#define KV_TRAIT(name, number) name = (number),
enum ControlTrait : int { KV_CONTROL_TRAITS(KV_TRAIT) };
#undef KV_TRAIT

} // namespace forms::web
