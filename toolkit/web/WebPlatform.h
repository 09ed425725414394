#pragma once

namespace forms::web {

// Runs what was posted, in order; the page runs it after the current event, tests when they ask.
void drainPosted();

} // namespace forms::web
