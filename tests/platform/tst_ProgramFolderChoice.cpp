// Where the built program keeps settings and log: beside it, ~/.config, TIDEWELL_FOLDER, --folder.
#include "support/HostFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestProgramFolderChoice : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    // A settings folder holding the setting T, which copies src onto dst (ASCII: CP932 as is).
    bool MakeSettingsFolder(const QString& folder) const {
        const QString drives = "[Drives]\r\nS=" + Path("src") + "\r\nD=" + Path("dst") + "\r\n";
        return QDir().mkpath(Path(folder)) &&
               WriteHostFile(Path(folder + "/Tidewell.Ini"), drives.toUtf8()) &&
               WriteHostFile(Path(folder + "/T.def"),
                             "[Spec]\r\nSrcDir=S:\\\r\nDstDir=D:\\\r\nNewChk=0\r\n");
    }

private slots:
    void initTestCase() {
        QVERIFY(QDir().mkpath(Path("src")) && QDir().mkpath(Path("dst")));
        QVERIFY(WriteHostFile(Path("src/a.txt"), "alpha"));
        for (const char* kind : {"ro", "rw"}) {
            QVERIFY(QDir().mkpath(Path(kind)));
            for (const char* file : {"tidewell", "libunlha32.so"})
                QVERIFY(QFile::copy(QString(TIDEWELL_BIN_DIR "/") + file, Path(kind) + "/" + file));
        }
        QVERIFY(chmod(QFile::encodeName(Path("ro")).constData(), 0555) == 0);
        for (const char* folder : {"rw", "env", "named", "config/tidewell"})
            QVERIFY(MakeSettingsFolder(folder));
    }

    // The program's folder, TIDEWELL_FOLDER, --folder: where the run's log lands.
    void runLogLandsInTheChosenFolder() {
        // program, environment, options, the folder of the log
        const std::tuple<QString, QString, QStringList, QString> rows[] = {
            {"rw", "", {}, "rw"},
            {"ro", "", {}, "config/tidewell"},
            {"rw", "env", {}, "env"},
            {"ro", "env", {"--folder", "named"}, "named"},
            {"rw", "", {"--folder=named"}, "named"}};
        for (const auto& [program, environment, options, logFolder] : rows) {
            for (const char* folder : {"rw", "env", "named", "config/tidewell"})
                QFile::remove(Path(folder) + "/Tidewall.log");
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_CONFIG_HOME", Path("config"));
            env.remove("TIDEWELL_FOLDER");
            if (!environment.isEmpty())
                env.insert("TIDEWELL_FOLDER", Path(environment));
            QProcess run;
            run.setProcessEnvironment(env);
            run.setWorkingDirectory(m_dir.path()); // a relative --folder is taken from here
            run.start(Path(program) + "/tidewell", options + QStringList{"--run", "T"});
            QVERIFY(run.waitForFinished(60000));
            QVERIFY2(run.exitCode() == 0, run.readAllStandardError().constData());
            QStringList logs;
            for (const char* folder : {"rw", "env", "named", "config/tidewell"})
                if (QFile::exists(Path(folder) + "/Tidewall.log"))
                    logs << folder;
            QCOMPARE(logs, QStringList{logFolder});
        }
    }

    // A first start makes the configuration folder private; a bad --folder is refused.
    void foldersMadeAndRefused() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", Path("fresh/config"));
        env.remove("TIDEWELL_FOLDER");
        const std::tuple<QStringList, int, QString> cases[] = {
            {{"--version"}, 0, ""},
            {{"--folder", Path("missing"), "--version"}, 2, Path("missing")},
            {{"--version", "--folder"}, 2, "--folder"}};
        for (const auto& [args, code, says] : cases) {
            QProcess run;
            run.setProcessEnvironment(env);
            run.start(Path("ro") + "/tidewell", args);
            QVERIFY(run.waitForFinished(60000));
            QCOMPARE(run.exitCode(), code);
            QVERIFY(QString::fromUtf8(run.readAllStandardError()).contains(says));
        }
        struct stat st {};
        QVERIFY(stat(QFile::encodeName(Path("fresh/config/tidewell")).constData(), &st) == 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0700));
        QVERIFY(!QFile::exists(Path("missing")));
    }
};

QTEST_GUILESS_MAIN(TestProgramFolderChoice)
#include "tst_ProgramFolderChoice.moc"
