#include "support/ProgramFolder.h"

#include "platform/HostServices.h"

#include <QFile>

namespace {
std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
} // namespace

CTestProgramFolder::CTestProgramFolder() : m_strPrevious(CHostServices::Get().ProgramFolderHost()) {
    CHostServices::Get().SetProgramFolder(HostPath() + "/");
}

CTestProgramFolder::~CTestProgramFolder() {
    CHostServices::Get().SetProgramFolder(m_strPrevious);
}

std::string CTestProgramFolder::HostPath() const {
    return m_dir.path().toStdString();
}

std::string CTestProgramFolder::HostFile(const std::string& name) const {
    return HostPath() + "/" + name;
}

bool CTestProgramFolder::CopyTestData(const std::string& name) const {
    QFile::remove(QString::fromStdString(HostFile(name)));
    return QFile::copy(QString::fromStdString(std::string(TIDEWELL_TEST_DATA) + "/" + name),
                       QString::fromStdString(HostFile(name)));
}

std::string CTestProgramFolder::ReadFile(const std::string& name) const {
    return ReadBytes(QString::fromStdString(HostFile(name)));
}

std::string CTestProgramFolder::ReadTestData(const std::string& name) {
    return ReadBytes(QString::fromStdString(std::string(TIDEWELL_TEST_DATA) + "/" + name));
}

bool CTestProgramFolder::WriteFile(const std::string& name, const std::string& bytes) const {
    QFile file(QString::fromStdString(HostFile(name)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
           static_cast<qint64>(bytes.size());
}
