// Drive letters given by the user and to media: checks, and section "Drives" rewritten.

#include "app/AppProfile.h"
#include "platform/DriveAssignment.h"
#include "support/ProgramFolder.h"

#include <QtTest>

class TestDriveAssignment : public QObject {
    Q_OBJECT
private slots:
    void mappingChecks() {
        QTemporaryDir a, b;
        const std::string file = b.filePath("f.txt").toStdString();
        QFile(QString::fromStdString(file)).open(QIODevice::WriteOnly);
        const std::vector<CDriveMapping> list{{'C', "/"}, {'D', a.path().toStdString()}};
        const std::string bHost = b.path().toStdString();
        using enum EMappingProblem;
        // clang-format off
        const std::tuple<size_t, CDriveMapping, EMappingProblem> rows[] = {
            {2, {'E', bHost}, None}, {2, {'d', bHost}, LetterTwice}, {1, {'D', bHost}, None}, // own row
            {0, {'D', bHost}, LetterTwice}, {2, {'1', bHost}, BadLetter}, {2, {'E', file}, NoFolder},
            {2, {'E', bHost + "/gone"}, NoFolder}, {2, {'E', "relative"}, NoFolder}};
        // clang-format on
        for (const auto& [at, mapping, problem] : rows)
            QVERIFY2(CheckDriveMapping(list, at, mapping) == problem,
                     mapping.strHostFolder.c_str());
        // A file stands for its folder; anything else for itself.
        QCOMPARE(MappingFolderFor(file), bHost);
        QCOMPARE(MappingFolderFor(bHost + "/"), bHost);
        QCOMPARE(MappingFolderFor(bHost + "/new/"), bHost + "/new");
    }

    void profileRoundTrip() {
        CTestProgramFolder folder;
        QTemporaryDir a, b, c, d;
        const auto host = [](const QTemporaryDir& dir) {
            return dir.path().toStdString();
        };
        const std::string head = "[CopyInfo]\r\nUsedDef=Daily\r\n[Drives]\r\n";
        const std::string tail = "[Renzoku0]\r\nFile0=a.def\r\n";
        QVERIFY(folder.WriteFile("Tidewell.Ini", head + "d=/nowhere\r\nC=/\r\n" + tail));
        CHostServices::Get().SetProgramFolder(folder.HostPath() + "/");
        QCOMPARE(CurrentDriveMappings(),
                 (std::vector<CDriveMapping>{{'C', "/"}, {'D', "/nowhere"}}));
        QCOMPARE(StoreDriveMappings({{'C', "/"}, {'E', host(a)}, {'F', host(b)}}, AppProfilePath()),
                 0);
        const std::string stored = "C=/\r\nE=" + host(a) + "\r\nF=" + host(b) + "\r\n";
        QCOMPARE(folder.ReadFile("Tidewell.Ini"), head + stored + tail);
        QCOMPARE(CHostServices::Get().DriveMap().Letters(), std::string("CEF"));
        // New media: one mapped already, the others from D upwards.
        QCOMPARE(AssignRemovableLetters({host(a), host(c), host(d)}, AppProfilePath()),
                 std::string("DG"));
        QCOMPARE(folder.ReadFile("Tidewell.Ini"),
                 head + stored + "D=" + host(c) + "\r\nG=" + host(d) + "\r\n" + tail);
        QCOMPARE(AssignRemovableLetters({host(c)}, AppProfilePath()), std::string());
        CHostServices::Get().SetProgramFolder(folder.HostPath() + "/"); // as at the next start
        QCOMPARE(CHostServices::Get().DriveMap().HostRoot('d'), std::optional(host(c)));
        QCOMPARE(CHostServices::Get().DriveMap().Letters(), std::string("CDEFG"));
        // Without C the map keeps C at "/", and its line goes.
        QCOMPARE(StoreDriveMappings({{'E', host(a)}}, AppProfilePath()), 0);
        QCOMPARE(folder.ReadFile("Tidewell.Ini"), head + "E=" + host(a) + "\r\n" + tail);
        QCOMPARE(CHostServices::Get().DriveMap().Letters(), std::string("CE"));
        for (char letter = 'D'; letter <= 'Z'; ++letter)
            CHostServices::Get().DriveMap().Map(letter, "/");
        QCOMPARE(FreeDriveLetter(), '\0');
        QCOMPARE(AssignRemovableLetters({host(d)}, AppProfilePath()), std::string());
    }
};

QTEST_GUILESS_MAIN(TestDriveAssignment)
#include "tst_DriveAssignment.moc"
