// Test library: exports UnlhaGetVersion only. Each call returns one more
// than the last, counted in a static that a reload would reset.
#include <cstdint>

namespace {
uint16_t g_nCalls = 0;
}

extern "C" __attribute__((visibility("default"))) uint16_t UnlhaGetVersion(void) {
    return ++g_nCalls;
}
