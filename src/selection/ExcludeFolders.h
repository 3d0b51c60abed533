#pragma once
// The lines of the exclude folders list: one per folder of the source tree,
// checked when the setting's exclude list names it, and the exclude list
// the checked lines make.

#include <string>
#include <vector>

struct CExcludeLine {
    std::string strText;   // the folder's path without a trailing separator
    int nDepth = 0;        // 0 for the source folder, 1 for its folders, ...
    size_t nNameAt = 0;    // where the folder's own name starts in strText
    bool bChecked = false; // an exclude entry names the folder
};

// One line per candidate, in order. aCandidates are the source folder with
// its trailing separator, then its folders in pre-order, as
// CCopyJob::CollectSourceFolders gives them. A line is checked when an
// entry of aOutDirs equals its text, letter case and a trailing separator
// of either aside.
std::vector<CExcludeLine> ExcludeLines(const std::vector<std::string>& aCandidates,
                                       const std::vector<std::string>& aOutDirs);

// The exclude list of the checked lines: candidate i without its trailing
// separator for every i checked, in order.
std::vector<std::string> CheckedFolders(const std::vector<std::string>& aCandidates,
                                        const std::vector<bool>& aChecked);
