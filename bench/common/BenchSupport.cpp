#include "BenchSupport.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {
class CNoProgress : public IProgressDisplay {
public:
    void SetProgressRange(int, int) override {}
    void SetProgressStep(int) override {}
    int SetProgressPos(int) override { return 0; }
    int StepProgress() override { return 0; }
    int TakeCancelRequest() override { return 0; }
    void PumpPendingMessages() override {}
    int RunBlockingCall(const std::function<int()>& call) override { return call(); }
};
} // namespace

std::unique_ptr<IProgressDisplay> CBenchRunHost::CreateProgress(const std::string&) {
    return std::make_unique<CNoProgress>();
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

void BuildTree(const std::string& root, int folders, int filesPerFolder, size_t size) {
    QByteArray data(static_cast<qsizetype>(size), 'x');
    for (int d = 0; d < folders; ++d) {
        const QString folder =
            QString::fromStdString(root) + QString("/d%1").arg(d, 4, 10, QChar('0'));
        QDir().mkpath(folder);
        for (int f = 0; f < filesPerFolder; ++f) {
            QFile file(folder + QString("/f%1.dat").arg(f, 4, 10, QChar('0')));
            if (file.open(QIODevice::WriteOnly)) {
                data[0] = static_cast<char>('a' + (d + f) % 26);
                file.write(data);
            }
        }
    }
}
