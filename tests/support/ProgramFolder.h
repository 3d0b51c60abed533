#pragma once
// A temporary program folder for a test: settings, profile and log go there.

#include "platform/HostServices.h"
#include "support/HostFiles.h"

#include <QTemporaryDir>

#include <string>

class CTestProgramFolder {
public:
    CTestProgramFolder() { CHostServices::Get().SetProgramFolder(HostPath() + "/"); }
    ~CTestProgramFolder() { CHostServices::Get().SetProgramFolder(m_strPrevious); }
    CTestProgramFolder(const CTestProgramFolder&) = delete;
    CTestProgramFolder& operator=(const CTestProgramFolder&) = delete;

    // Host folder, without a trailing "/".
    std::string HostPath() const { return m_dir.path().toStdString(); }
    std::string HostFile(const std::string& name) const { return HostPath() + "/" + name; }
    // Copies a file of tests/data into the folder under its name.
    bool CopyTestData(const std::string& name) const {
        const std::string bytes = ReadTestData(name);
        return WriteFile(name, bytes) && !bytes.empty();
    }
    // The raw bytes of a file of the folder, or of tests/data ("" when unreadable).
    std::string ReadFile(const std::string& name) const { return ReadBytes(HostFile(name)); }
    static std::string ReadTestData(const std::string& name) {
        return ReadBytes(TIDEWELL_TEST_DATA "/" + name);
    }
    bool WriteFile(const std::string& name, const std::string& bytes) const {
        return WriteHostFile(QString::fromStdString(HostFile(name)),
                             QByteArray::fromStdString(bytes));
    }

private:
    static std::string ReadBytes(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    QTemporaryDir m_dir;
    std::string m_strPrevious = CHostServices::Get().ProgramFolderHost();
};
