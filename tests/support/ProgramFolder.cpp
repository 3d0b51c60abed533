#include "support/ProgramFolder.h"

#include "platform/HostServices.h"

#include <QFile>

namespace {
std::string ReadBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}
std::string TestDataFile(const std::string& name) {
    return std::string(TIDEWELL_TEST_DATA) + "/" + name;
}
} // namespace

CTestProgramFolder::CTestProgramFolder() : m_strPrevious(CHostServices::Get().ProgramFolderHost()) {
    CHostServices::Get().SetProgramFolder(HostPath() + "/");
}

CTestProgramFolder::~CTestProgramFolder() {
    CHostServices::Get().SetProgramFolder(m_strPrevious);
}

bool CTestProgramFolder::CopyTestData(const std::string& name) const {
    return WriteFile(name, ReadTestData(name)) && !ReadTestData(name).empty();
}

std::string CTestProgramFolder::ReadFile(const std::string& name) const {
    return ReadBytes(HostFile(name));
}

std::string CTestProgramFolder::ReadTestData(const std::string& name) {
    return ReadBytes(TestDataFile(name));
}

bool CTestProgramFolder::WriteFile(const std::string& name, const std::string& bytes) const {
    QFile file(QString::fromStdString(HostFile(name)));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}
