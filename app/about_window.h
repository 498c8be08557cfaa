// The configure-mode About window. Its constructor builds the window, runs
// its message loop and returns when the window has been closed.
#pragma once

class AboutWindow {
public:
    AboutWindow(void* instance, int showCommand);

    static constexpr const char* caption = "About";
    static constexpr const char* className = "QuillbeckWindowClass";
    static constexpr const char* buttonText = "Visit website";
    static constexpr const char* titleText = "Lumeridge";
};
