#include "app/display_state.h"

std::int32_t windowWidth = 0;
std::int32_t windowHeight = 0;
float aspectRatio = 0.0f;
