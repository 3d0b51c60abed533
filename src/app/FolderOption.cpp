#include "app/FolderOption.h"

#include <algorithm>
#include <cstddef>

CFolderOption TakeFolderOption(std::vector<std::string>& args) {
    CFolderOption option;
    for (size_t i = 1; i < args.size();) {
        const std::string& arg = args[i];
        size_t taken = 0;
        std::string value;
        if (arg == "--folder") {
            taken = 2;
            if (i + 1 < args.size())
                value = args[i + 1];
        } else if (arg.rfind("--folder=", 0) == 0) {
            taken = 1;
            value = arg.substr(9);
        }
        if (taken == 0) {
            ++i;
            continue;
        }
        if (value.empty() || (taken == 2 && value.rfind("--", 0) == 0))
            return {{}, "--folder の後にﾌｫﾙﾀﾞを指定してください．"};
        if (!option.folder.empty())
            return {{}, "--folder は一度だけ指定してください．"};
        option.folder = value;
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(i),
                   args.begin() + static_cast<std::ptrdiff_t>(std::min(i + taken, args.size())));
    }
    return option;
}
