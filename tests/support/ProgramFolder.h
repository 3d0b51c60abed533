#pragma once
// A temporary program folder for a test: settings files, the profile and
// the log go there instead of next to the built program.

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
    // Copies a file of tests/data into the folder under the same name,
    // replacing a file of that name.
    bool CopyTestData(const std::string& name) const;
    // Reads a file of the folder, or of tests/data, as raw bytes.
    std::string ReadFile(const std::string& name) const;
    static std::string ReadTestData(const std::string& name);
    bool WriteFile(const std::string& name, const std::string& bytes) const;

private:
    QTemporaryDir m_dir;
    std::string m_strPrevious;
};
