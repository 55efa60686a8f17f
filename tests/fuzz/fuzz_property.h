#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the code under fuzzing that does not hold: libFuzzer keeps
// the input that broke it as a crash.
inline void Require(bool holds, const char* property)
{
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}
