#pragma once
// Everything a run test needs: a program folder, a source tree on S:, a
// destination tree on D:, a scripted host and a scripted message box.

#include "copyjob/CopyJob.h"
#include "platform/Cp932.h"
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

    // The log's lines as UTF-8 ("<no CR LF>" marks a line without its end).
    std::vector<std::string> LogLines() const {
        const std::string bytes = program.ReadFile("Tidewall.log");
        std::vector<std::string> lines;
        for (size_t start = 0; start < bytes.size();) {
            const size_t end = bytes.find("\r\n", start);
            if (end == std::string::npos) {
                lines.push_back("<no CR LF>" + bytes.substr(start));
                break;
            }
            lines.push_back(Cp932ToUtf8(bytes.substr(start, end - start)));
            start = end + 2;
        }
        return lines;
    }
    // True when a log line holds every one of the parts.
    bool LogHas(const std::vector<std::string>& parts) const {
        for (const std::string& line : LogLines()) {
            bool all = true;
            for (const std::string& part : parts)
                all = all && line.find(part) != std::string::npos;
            if (all)
                return true;
        }
        return false;
    }

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
