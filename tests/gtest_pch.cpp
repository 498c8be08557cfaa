// The source GoogleTest's precompiled header is built with (tests/CMakeLists.txt).
