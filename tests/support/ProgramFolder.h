#pragma once
// A temporary program folder for a test: settings, profile and log go there.

#include <QTemporaryDir>

#include <string>

class CTestProgramFolder {
public:
    CTestProgramFolder();
    ~CTestProgramFolder();
    CTestProgramFolder(const CTestProgramFolder&) = delete;
    CTestProgramFolder& operator=(const CTestProgramFolder&) = delete;

    // Host folder, without a trailing "/".
    std::string HostPath() const { return m_dir.path().toStdString(); }
    std::string HostFile(const std::string& name) const { return HostPath() + "/" + name; }
    // Copies a file of tests/data into the folder under its name.
    bool CopyTestData(const std::string& name) const;
    // The raw bytes of a file of the folder, or of tests/data.
    std::string ReadFile(const std::string& name) const;
    static std::string ReadTestData(const std::string& name);
    bool WriteFile(const std::string& name, const std::string& bytes) const;

private:
    QTemporaryDir m_dir;
    std::string m_strPrevious;
};
