// A check that holds in every build of a fuzz target: the fuzzer binary, the
// sanitized replay runner and the plain replay runner. A failed check prints
// what was expected and traps, which libFuzzer records as a crash and ctest as
// a failed replay.
#pragma once

#include <cstdio>

#define FUZZ_CHECK(cond, ...)                                                               \
    do {                                                                                    \
        if (!(cond)) {                                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, #cond); \
            std::fprintf(stderr, __VA_ARGS__);                                              \
            std::fputc('\n', stderr);                                                       \
            std::fflush(stderr);                                                            \
            __builtin_trap();                                                               \
        }                                                                                   \
    } while (0)
