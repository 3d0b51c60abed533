// libFuzzer entry for updating an existing archive: any bytes as the old
// archive, then "u" and "a" with a small folder. A refusal must leave the
// bytes as they were; an update must give an archive that the library's
// own reader takes, with the new files in it.
// Build: cmake -DCMAKE_CXX_COMPILER=clang++ -DTIDEWELL_FUZZ=ON ...; then
// run unlha32_fuzz_update [corpus-folder] -max_total_time=60.
#include "command/ArchiveUpdate.h"
#include "command/HostFile.h"
#include "lzh/ArchiveReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string folder = [] {
        char path[] = "/tmp/unlha32_fuzz_XXXXXX";
        std::string made = mkdtemp(path) != nullptr ? path : "/tmp";
        mkdir((made + "/src").c_str(), 0700);
        std::ofstream(made + "/src/Text.txt") << "text text text text of a file to pack\n";
        std::ofstream(made + "/src/One.bin") << "x";
        return made;
    }();
    const std::string archive = folder + "/A.lzh";
    std::string bytes(reinterpret_cast<const char*>(data), size);
    for (char command : {'u', 'a'}) {
        std::ofstream(archive, std::ios::binary | std::ios::trunc) << bytes;
        unlha::CCommand c;
        c.cCommand = command;
        c.strArchive = archive;
        c.aSpecs.push_back({folder + "/src/", "*.*"});
        c.nLevel = static_cast<int>(size % 10);
        unlha::CReport report;
        int rc = unlha::RunArchiveCommand(c, unlha::CDriveTable(), report);
        std::string after = Slurp(archive);
        if (rc != 0) {
            if (after != bytes || report.Text().empty())
                std::abort(); // a refusal changes nothing and says why
            continue;
        }
        unlha::CMemoryAccess access(after);
        std::vector<unlha::CArchiveMember> members;
        std::string detail;
        if (unlha::ReadArchiveMembers(access, members, detail) != 0)
            std::abort();
    }
    return 0;
}
