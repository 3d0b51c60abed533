// libFuzzer entry for the command line and response files: any bytes, as a
// command line and as the content of a response file, must give a parsed
// command or a refusal with its reason, never a crash.
// Build: cmake -DCMAKE_CXX_COMPILER=clang++ -DTIDEWELL_FUZZ=ON ...; then
// run unlha32_fuzz_command_line [corpus-folder] -max_total_time=60.
#include "command/CommandLine.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string responsePath = [] {
        char path[] = "/tmp/unlha32_fuzz_XXXXXX";
        int fd = mkstemp(path);
        if (fd >= 0)
            close(fd);
        return std::string(path);
    }();
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (FILE* f = std::fopen(responsePath.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    unlha::CDriveTable drives;
    for (const std::string& line : {bytes, "@" + responsePath}) {
        unlha::CCommand command;
        unlha::CReport report;
        int rc = unlha::ParseCommandLine(line, drives, command, report);
        if (rc != 0 && report.Text().empty())
            std::abort(); // a refusal always says why
        if (rc == 0 && command.cCommand != 'a' && command.cCommand != 'u')
            std::abort();
    }
    return 0;
}
