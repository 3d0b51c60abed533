#pragma once
// The replaceable objects behind the host layer: program folder, drive map,
// volume source, message boxes and clock. The program sets them up once at
// start; a test replaces them with temporary folders, fakes and scripted
// responders. Nothing else in the host layer keeps global state.

#include "platform/DriveMap.h"
#include "platform/MessageBoxService.h"
#include "platform/Volume.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>

class CHostServices {
public:
    static CHostServices& Get();

    // The host folder of the program: settings, profile and log live there,
    // and "Tidewell.Ini" there supplies the drive map. Setting it reloads the
    // drive map from that profile (the default map when it has none). The
    // folder is kept with one trailing "/". At start it is the folder of the
    // executable.
    void SetProgramFolder(const std::string& hostFolder);
    const std::string& ProgramFolderHost() const { return m_programFolderHost; }

    CDriveMap& DriveMap() { return m_driveMap; }

    // The volume source; null puts the host source back.
    IVolumeSource& Volumes() { return *m_volumes; }
    void SetVolumeSource(std::shared_ptr<IVolumeSource> source);
    std::shared_ptr<IVolumeSource> VolumeSource() const { return m_volumes; }

    // The message-box service; null puts the default back (a console service
    // that prints each box and answers it safely, until a window build
    // installs its own).
    IMessageBoxService& MessageBoxes() { return *m_messageBoxes; }
    void SetMessageBoxService(std::shared_ptr<IMessageBoxService> service);
    std::shared_ptr<IMessageBoxService> MessageBoxService() const { return m_messageBoxes; }

    // Current time in seconds since 1970 (a test can freeze it).
    std::time_t Now() const { return m_clock ? m_clock() : std::time(nullptr); }
    void SetClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }

private:
    CHostServices();
    std::string m_programFolderHost;
    CDriveMap m_driveMap;
    std::shared_ptr<IVolumeSource> m_volumes;
    std::shared_ptr<IMessageBoxService> m_messageBoxes;
    std::function<std::time_t()> m_clock;
};

// Folder of the running executable, as a host path with a trailing "/"
// (the current folder when /proc cannot tell).
std::string HostExecutableFolder();
