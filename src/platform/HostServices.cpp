#include "platform/HostServices.h"

#include "platform/ConsoleMessageBox.h"

#include <climits>
#include <unistd.h>

namespace {

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace

std::string HostExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        std::string exe(buffer, static_cast<size_t>(n));
        size_t slash = exe.rfind('/');
        if (slash != std::string::npos)
            return exe.substr(0, slash + 1);
    }
    if (getcwd(buffer, sizeof buffer))
        return WithTrailingSlash(buffer);
    return "/";
}

CHostServices& CHostServices::Get() {
    static CHostServices services;
    return services;
}

CHostServices::CHostServices()
    : m_volumes(std::make_shared<CHostVolumeSource>()),
      m_messageBoxes(std::make_shared<CConsoleMessageBoxService>()) {
    SetProgramFolder(HostExecutableFolder());
}

void CHostServices::SetProgramFolder(const std::string& hostFolder) {
    m_programFolderHost = WithTrailingSlash(hostFolder);
    m_driveMap.LoadFromProfile(m_programFolderHost + "Tidewell.Ini");
}

void CHostServices::SetVolumeSource(std::shared_ptr<IVolumeSource> source) {
    m_volumes = source ? std::move(source) : std::make_shared<CHostVolumeSource>();
}

void CHostServices::SetMessageBoxService(std::shared_ptr<IMessageBoxService> service) {
    m_messageBoxes = service ? std::move(service) : std::make_shared<CConsoleMessageBoxService>();
}
