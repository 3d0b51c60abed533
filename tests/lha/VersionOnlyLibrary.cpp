// Test library: exports UnlhaGetVersion only. Each call returns one more
// than the last, counted in a static that a reload resets.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) uint16_t UnlhaGetVersion(void) {
    static uint16_t calls = 0;
    return ++calls;
}
