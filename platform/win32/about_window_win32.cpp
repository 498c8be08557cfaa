// The About window in plain Win32 and GDI.
#include "app/about_window.h"
