// Win32 back end.
#include "platform/platform.h"
