#include "app/command_line.h"

#include <climits>
#include <cstring>

std::int32_t readDecimal(const char* text) {
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\v' || *p == '\f' || *p == '\r') ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT32_MIN) : INT32_MAX;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p - '0');
        if (value > limit) {
            value = limit;
            // Keep consuming digits: the number ends at the first non-digit.
        }
        ++p;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

CommandLine parseCommandLine(const char* text) {
    CommandLine result;
    if (text == nullptr) return result;
    const std::size_t length = std::strlen(text);
    for (std::size_t i = 0; i < length; ++i) {
        if (text[i] != '/') continue;
        switch (text[i + 1]) {  // text[length] is the terminating NUL
            case 'p': result.mode = ScreensaverMode::Preview; break;
            case 's': result.mode = ScreensaverMode::Screensaver; break;
            case 'c': result.mode = ScreensaverMode::Configure; break;
            default: break;
        }
        if (result.mode != ScreensaverMode::None) {
            result.parentWindow = (i + 3 <= length) ? readDecimal(text + i + 3) : 0;
        }
    }
    return result;
}
