// libFuzzer entry for the archive reader: any bytes must give a refusal or
// a member list inside the input, never a crash or an out-of-bounds read.
// Build: cmake -DCMAKE_CXX_COMPILER=clang++ -DTIDEWELL_FUZZ=ON ...; then
// run unlha32_fuzz_reader [corpus-folder] -max_total_time=60.
#include "lzh/ArchiveReader.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    unlha::CMemoryAccess access(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<unlha::CArchiveMember> members;
    std::string detail;
    if (unlha::ReadArchiveMembers(access, members, detail) == 0) {
        for (const auto& m : members)
            if (m.nOffset + m.nLength > size || m.strPath.empty())
                std::abort();
    }
    return 0;
}
