#pragma once
// Everything a run test needs: a program folder, a source tree on S:, a
// destination tree on D:, a scripted host and a scripted message box.

#include "copyjob/CopyJob.h"
#include "support/ProgramFolder.h"
#include "support/ScriptedMessageBox.h"
#include "support/ScriptedRunHost.h"
#include "support/TempTree.h"

#include <memory>

struct CCopyJobFixture {
    CTestProgramFolder program;
    CTempTree source{'S'};
    CTempTree dest{'D'};
    std::shared_ptr<CScriptedMessageBox> boxes = std::make_shared<CScriptedMessageBox>();
    CScopedMessageBoxService boxService{boxes};
    CScriptedRunHost host;
    CCopyJob job{host};

    // A setting from S:\ to D:\ with the copy list "*.*", every option off.
    CCopyJobFixture() {
        CCopySetting& s = *job.m_pSetting;
        s.SrcDir = source.DriveRoot();
        s.DstDir = dest.DriveRoot();
        s.WildList = "*.*";
        s.NewChk = 0;
        s.DustChk = 0;
        job.m_strLogPath = program.HostFile("Tidewall.log");
    }
    CCopySetting& Setting() { return *job.m_pSetting; }

    // "sub\b.txt"-style relative names of the collected items, in order.
    std::vector<std::string> CollectedNames() const {
        std::vector<std::string> names;
        const std::string root = source.DriveRoot();
        for (const CCopyItem& item : job.m_aCopyItems) {
            std::string folder = item.SrcFolder.substr(root.size());
            names.push_back(folder.empty() ? item.FileName : folder + "\\" + item.FileName);
        }
        return names;
    }
};

using Names = std::vector<std::string>;
