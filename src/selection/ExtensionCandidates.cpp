#include "selection/ExtensionCandidates.h"

#include "copyjob/CopyJob.h"
#include "copyjob/RunTexts.h"
#include "copyjob/UpdateThrottle.h"
#include "files/PathText.h"
#include "platform/AsciiCase.h"
#include "platform/FolderScan.h"

#include <unordered_set>

namespace {

const char kCollectingCandidates[] = "ファイルリストの候補を収集中です．";

// One walk: the patterns held so far are known by their capitals, so a
// tree of 100,000 files costs one look-up per file.
class CExtensionWalk {
public:
    CExtensionWalk(CCopyJob& job, std::vector<std::string>& aList)
        : m_job(job), m_host(job.Host()), m_aList(aList) {
        for (const std::string& pattern : aList)
            m_held.insert(UpperAscii(pattern));
        m_strRoot = job.m_pSetting->SrcDir;
        AddBackslash(m_strRoot);
    }

    int Walk(const std::string& rel) {
        CFolderNames names;
        ReadFolderNames(m_strRoot + rel, names); // an unreadable folder offers nothing
        for (const std::string& name : names.files)
            Take(name);
        for (const std::string& folder : names.folders) {
            if (TakeCancelRequest())
                return END_CANCELLED;
            const std::string child = rel.empty() ? folder : rel + "\\" + folder;
            if (m_throttle.Due())
                m_host.SetStatusText(FormatWithText(RunText::kSearchingFolder, child));
            if (const int r = Walk(child); r != 0)
                return r;
        }
        return 0;
    }

private:
    // A name's pattern is "*." and everything after its last dot, in the
    // name's letter case ("x." gives "*."); a name without a dot has none.
    void Take(const std::string& name) {
        const size_t dot = name.rfind('.');
        if (dot == std::string::npos)
            return;
        m_strKey.assign("*.");
        for (size_t i = dot + 1; i < name.size(); ++i)
            m_strKey += UpperAscii(name[i]);
        if (m_held.find(m_strKey) != m_held.end())
            return;
        m_held.insert(m_strKey);
        m_aList.push_back("*." + name.substr(dot + 1));
    }

    bool TakeCancelRequest() {
        m_host.PumpEvents();
        if (!m_job.m_bCancel)
            return false;
        m_job.m_bCancel = 0;
        return true;
    }

    CCopyJob& m_job;
    IRunHost& m_host;
    std::vector<std::string>& m_aList;
    std::unordered_set<std::string> m_held; // the entries of m_aList in capitals
    std::string m_strKey;
    std::string m_strRoot; // the source folder with its trailing "\"
    CUpdateThrottle m_throttle;
};

} // namespace

int CollectExtensions(CCopyJob& job, std::vector<std::string>& aList) {
    IRunHost& host = job.Host();
    host.ShowBusy(true);
    host.SetStatusText(kCollectingCandidates);
    job.SplitWildList(aList);
    const int r = CExtensionWalk(job, aList).Walk("");
    host.ShowBusy(false);
    host.SetStatusText(RunText::kIdleStatus);
    return r;
}

std::vector<std::string> CandidatePatterns(const std::vector<std::string>& aCollected,
                                           const std::vector<std::string>& aChosen) {
    std::unordered_set<std::string> chosen;
    for (const std::string& pattern : aChosen)
        chosen.insert(UpperAscii(pattern));
    std::vector<std::string> candidates;
    for (const std::string& entry : aCollected)
        if (chosen.find(UpperAscii(entry)) == chosen.end())
            candidates.push_back(entry);
    return candidates;
}

std::string JoinWildList(const std::vector<std::string>& aPatterns) {
    std::string list;
    for (size_t i = 0; i < aPatterns.size(); ++i)
        list += (i == 0 ? "" : "/") + aPatterns[i];
    return list;
}
