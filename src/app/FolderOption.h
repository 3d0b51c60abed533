#pragma once
// The option "--folder DIR" (or "--folder=DIR"), which any start of the
// program may carry: it names the folder of the settings, the profile and
// the log. It is taken out of the arguments before the rest are read.

#include <string>
#include <vector>

struct CFolderOption {
    std::string folder; // empty when not given
    std::string error;  // a malformed option, for the user
};

CFolderOption TakeFolderOption(std::vector<std::string>& args);
