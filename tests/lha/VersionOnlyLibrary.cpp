// Test library: only UnlhaGetVersion, one more each call (a reload starts again).
#include <cstdint>

extern "C" __attribute__((visibility("default"))) uint16_t UnlhaGetVersion(void) {
    static uint16_t calls = 0;
    return ++calls;
}
