#pragma once
// A failed expectation inside a fuzz target: say what broke and abort, which the fuzzer keeps
// as a crash and the replay of the regression inputs reports as a failed test.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: expectation failed: %s\n", __FILE__, __LINE__,        \
                         #condition);                                                          \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
