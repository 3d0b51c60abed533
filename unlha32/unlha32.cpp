#include <cstdint>
extern "C" uint16_t UnlhaGetVersion(void) { return 0; }
