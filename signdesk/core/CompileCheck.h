// Checks made while compiling, in the form the client's compiler takes: a
// false condition gives an array of negative size and stops the build.
// Used at namespace scope; name makes the typedef unique.
#pragma once

#define SD_COMPILE_CHECK(condition, name) typedef char SdCompileCheck_##name[(condition) ? 1 : -1]

// The number of elements of an array (not of a pointer).
#define SD_COUNTOF(array) (sizeof(array) / sizeof((array)[0]))
