// Resources of the executable's own module.
#include "platform/platform.h"
