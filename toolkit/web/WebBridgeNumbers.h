#pragma once

// The numbers that cross between the program and the page's script, listed once: the build writes them
// for the script as KV_KIND and KV_PHASE (toolkit/web/CMakeLists.txt reads these two lines), and the
// asserts below tie them to the toolkit's own kinds, so a reordered ControlKind stops the build, not the
// page.

#include "toolkit/Control.h"

// clang-format off
#define KV_CONTROL_KINDS(X) X(Label, 0) X(TextBox, 1) X(PictureButton, 2) X(PictureBox, 3) X(Image, 4) X(Frame, 5)
#define KV_POINTER_PHASES(X) X(Press, 0) X(Move, 1) X(Release, 2)
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

} // namespace forms::web
