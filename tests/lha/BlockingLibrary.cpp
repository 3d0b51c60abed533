// Test library: Unlha blocks until UnlhaTestRelease (fails after a minute); no UnlhaGetVersion.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

static std::atomic<bool> g_bReleased{false};

extern "C" __attribute__((visibility("default"))) int Unlha(void*, const char*, char* output,
                                                            uint32_t outputSize) {
    bool bReleased = false;
    for (int i = 0; i < 60000 && !(bReleased = g_bReleased.exchange(false)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::snprintf(output, outputSize, bReleased ? "released\r\n" : "never released\r\n");
    return bReleased ? 0 : 0x8020;
}

extern "C" __attribute__((visibility("default"))) void UnlhaTestRelease() {
    g_bReleased = true;
}
