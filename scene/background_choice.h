// Which of the twenty background photographs a run shows.
#pragma once

constexpr int kBackgroundCount = 20;
// The bitmap resources, in the order the random index picks them.
extern const int backgroundBitmapIds[kBackgroundCount];

// The seed for a start-up time t (seconds since GLFW's initialisation): the
// integer part of t * 100000 (single precision) modulo 10000, that is the
// start-up delay in units of 10 microseconds. Negative or non-finite times
// give 0; huge ones do not overflow.
unsigned backgroundSeed(float t);
// srand(backgroundSeed(t)), then rand() % 20: an index into backgroundBitmapIds.
int backgroundIndex(float t);
