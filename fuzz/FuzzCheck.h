#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the run when an invariant of the code under test does not hold: the message names the check,
// and the abort makes libFuzzer keep the input as a crash artifact.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
