#include "files/PathUtils.h"

#include "platform/HostServices.h"
#include "platform/MessageBoxService.h"

std::string GetProgramFolder() {
    CHostServices& host = CHostServices::Get();
    std::string hostFolder = host.ProgramFolderHost();
    while (hostFolder.size() > 1 && hostFolder.back() == '/')
        hostFolder.pop_back();
    std::optional<std::string> folder = host.DriveMap().FromHost(hostFolder);
    if (!folder)
        return {};
    if (folder->size() == 2 && (*folder)[1] == ':')
        *folder += '\\'; // a drive root, which AddBackslash leaves as it is
    AddBackslash(*folder);
    return *folder;
}

std::string AppProfilePath() {
    return GetProgramFolder() + "Tidewell.Ini";
}

void WarningBox(const std::string& text, const std::string& /*context*/) {
    IMessageBoxService& boxes = CHostServices::Get().MessageBoxes();
    boxes.Beep(MB_ICONEXCLAMATION);
    boxes.Show(text, "", MB_OK | MB_ICONEXCLAMATION);
}
