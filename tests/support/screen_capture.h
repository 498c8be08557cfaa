// RGB captures of the X server's root window, for tests that look at what
// the real screensaver shows.
#pragma once

#include <vector>

typedef struct _XDisplay Display;

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first
    bool empty() const { return rgb.empty(); }
    // Mean red, green and blue of each cell of a grid of `columns` x `rows`
    // cells, row by row; empty for an empty capture.
    std::vector<double> blockMeans(int columns, int rows) const;
};

// The whole root window; empty when it cannot be read.
Capture captureRoot(Display* display);
