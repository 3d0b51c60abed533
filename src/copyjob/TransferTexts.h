#pragma once
// The counts a copy run's progress window shows beside its bar.

#include <cstdint>
#include <string>

// "1,234 / 50,000 ﾌｧｲﾙ": files handled of the total, digits grouped by three.
std::string TransferFilesText(int64_t done, int64_t total);

// "12.3 / 456.7 MB": bytes handled of the total, both in the unit that suits
// the total (B, KB, MB, GB, TB of 1024), one decimal above bytes, cut (not
// rounded) so the done figure never reads more than it is.
std::string TransferBytesText(uint64_t done, uint64_t total);
