// The one way the program ends on an error: GLFW and its windows go first,
// then a message box with its caption, then exit status 0 (a screensaver
// host reads any other status as a crash).
//
// The windows go first because a full-screen window left open covers the
// box: on Windows the topmost saver window stays above it and the screen
// looks frozen. An adopted preview window is handed back to its host.
// When GLFW is not running, taking it down does nothing.
#pragma once

namespace platform {

[[noreturn]] void fatalError(const char* text, const char* caption);

// The same, with a box of `detail` (a compiler's log, say) before `text`'s.
[[noreturn]] void fatalError(const char* detail, const char* text, const char* caption);

}  // namespace platform
