// The folder browse dialog: the lazy tree, the initial path, live changes, changed media.

#include "platform/FolderWatch.h"
#include "support/DialogTestHelpers.h"
#include "support/FakeVolumeSource.h"
#include "support/ProgramFolder.h"
#include "support/TempTree.h"
#include "ui/files/FolderSelectDlg.h"

#include <QMenu>
#include <QTreeWidget>

#include <cstdio>
#include <unistd.h>

namespace {

using Dlg = CFolderSelectDlg;

// "T:\{Data{Sub} data2+}": children of expanded items in braces, "+" for collapsed ones.
QString Outline(const QTreeWidgetItem* pItem) {
    QString text = pItem->text(0);
    if (!pItem->isExpanded())
        return pItem->childCount() ? text + "+" : text;
    QStringList children;
    for (int i = 0; i < pItem->childCount(); ++i)
        children << Outline(pItem->child(i));
    return text + "{" + children.join(' ') + "}";
}
QString Outline(const Dlg& dlg) {
    QStringList drives;
    for (int i = 0; i < dlg.Tree()->topLevelItemCount(); ++i)
        drives << Outline(dlg.Tree()->topLevelItem(i));
    return drives.join(' ');
}
QTreeWidgetItem* Item(const Dlg& dlg, const QString& name) {
    return dlg.Tree()->findItems(name, Qt::MatchExactly | Qt::MatchRecursive).value(0);
}
QString Result(Dlg& dlg) {
    return QString::fromStdString(dlg.m_strResultPath) + "|" + Texts(&dlg, {Dlg::IDC_STATUS});
}

struct CFixture {
    CTestProgramFolder program; // before the trees: it reloads the drive map
    CTempTree tree{'T'};
    std::shared_ptr<CFakeVolumeSource> volumes = std::make_shared<CFakeVolumeSource>();
    CScopedVolumeSource scope{volumes};
    CFixture() {
        volumes->Set('T', CFakeVolumeSource::Large()); // a fixed drive; C has no volume
        tree.Build(
            {{"Data/Sub/deep/"}, {"Data/empty/"}, {"data2/x/"}, {".hid/"}, {"file.txt", "x"}});
    }
};

} // namespace

class CFolderSelectDlgTest : public QObject {
    Q_OBJECT
private slots:

    void initialPath() {
        CFixture fx;
        // initial path, tree, result path and status line
        const std::tuple<const char*, const char*, const char*> rows[] = {
            {"t:\\data\\sub", "T:\\{.hid Data{empty Sub{deep}} data2+}",
             "T:\\Data\\Sub\\|T:\\Data\\Sub"},
            {"T:\\DATA\\Sub\\deep\\", "T:\\{.hid Data{empty Sub{deep}} data2+}",
             "T:\\Data\\Sub\\deep\\|T:\\Data\\Sub\\deep"},
            {"T:\\Data\\gone\\x", "T:\\{.hid Data{empty Sub+} data2+}", "|"},
            {"T:\\Data\\\\Sub", "T:\\{.hid Data{empty Sub+} data2+}", "|"},
            {"T:/", "T:\\{.hid Data+ data2+}", "T:\\|T:\\"},
            {"T:", "T:\\+", "|"},
            {"Q:\\Data", "T:\\+", "|"}};
        for (const auto& [initial, outline, result] : rows) {
            Dlg dlg("ｺﾋﾟｰ先ﾌｫﾙﾀﾞの選択", initial, 1, nullptr);
            QCOMPARE(Outline(dlg), QString(outline));
            QCOMPARE(Result(dlg), QString(result));
        }
        Dlg dlg("", "T:\\Data", 1, nullptr);
        QCOMPARE(dlg.windowTitle() + Texts(&dlg, {1, 2}), "ﾌｫﾙﾀﾞの参照OK|ｷｬﾝｾﾙ");
        QVERIFY(ControlOf(&dlg, Dlg::IDC_DRIVE_INFO)->isHidden());
        // Collapsing leaves one dummy; menus: drive information (drives), drive letters (all).
        Item(dlg, "Data")->setExpanded(false);
        QCOMPARE(Outline(dlg), "T:\\{.hid Data+ data2+}");
        QCOMPARE(Item(dlg, "Data")->child(0)->text(0), QString());
        std::unique_ptr<QMenu> pDriveMenu(dlg.CreateItemMenu(Item(dlg, "T:\\")));
        std::unique_ptr<QMenu> pFolderMenu(dlg.CreateItemMenu(Item(dlg, "Data")));
        QCOMPARE(pDriveMenu->actions().size() * 10 + pFolderMenu->actions().size(), 21);
    }

    void liveChanges() {
        CFixture fx;
        Dlg dlg("", "T:\\Data\\Sub", 1, nullptr);
        dlg.show();
        // Shown folders are watched: the drive, .hid, Data, empty, Sub, deep, data2.
        QCOMPARE(dlg.Watcher().WatchCount(), size_t(7));
        const std::string host = fx.tree.HostRoot() + "/";
        const std::pair<std::function<bool()>, const char*> steps[] = {
            {[&] { return fx.tree.AddFolder("Data/new"); }, "Data{empty new Sub{deep}} data2+"},
            {[&] { return rmdir((host + "Data/empty").c_str()) == 0; },
             "Data{new Sub{deep}} data2+"},
            {[&] {
                 return std::rename((host + "Data/new").c_str(), (host + "Data/Zed").c_str()) == 0;
             },
             "Data{Sub{deep} Zed} data2+"},
            {[&] { return fx.tree.AddFolder("Data/Sub/deep/in"); }, "Data{Sub{deep+} Zed} data2+"},
            {[&] { return rmdir((host + "data2/x").c_str()) == 0; }, "Data{Sub{deep+} Zed} data2"},
            {[&] { return fx.tree.AddFolder("a/b"); }, "a+ Data{Sub{deep+} Zed} data2"}};
        for (const auto& [change, outline] : steps) {
            QVERIFY(change());
            QTRY_COMPARE_WITH_TIMEOUT(Outline(dlg), "T:\\{.hid " + QString(outline) + "}", 1000);
        }
        Item(dlg, "Data")->setExpanded(false); // its children's watches go
        QCOMPARE(dlg.Watcher().WatchCount(), size_t(5));
        dlg.done(Dlg::IDC_CANCEL);
        QCOMPARE(dlg.Watcher().WatchCount(), size_t(0));
    }

    void changedMedium() {
        CFixture fx;
        CTempTree stick('R');
        QVERIFY(stick.Build({{"a/b/"}, {"c/"}}));
        CVolumeFacts facts = CFakeVolumeSource::Fat32();
        fx.volumes->Set('R', facts);
        Dlg dlg("", "r:\\a", 1, nullptr);
        QCOMPARE(Outline(dlg), "R:\\{a{b} c} T:\\+");
        QCOMPARE(dlg.Watcher().WatchCount(), size_t(1)); // T:\ only: media are not watched
        // A folder gone behind the dialog's back goes when selected.
        QVERIFY(rmdir(stick.HostPath("c").c_str()) == 0);
        dlg.Tree()->setCurrentItem(Item(dlg, "c"));
        QCOMPARE(Outline(dlg) + Result(dlg), "R:\\{a{b}} T:\\+R:\\a\\|R:\\a");
        // Another medium: the first touch collapses the drive, the next reads it.
        facts.serialNumber = 0x5678;
        fx.volumes->Set('R', facts);
        dlg.Tree()->setCurrentItem(Item(dlg, "b"));
        QCOMPARE(Outline(dlg) + Result(dlg), "R:\\+ T:\\+R:\\|R:\\");
        Item(dlg, "R:\\")->setExpanded(true);
        QCOMPARE(Outline(dlg), "R:\\{a+} T:\\+");
        // No medium: expanding collapses the drive, and it stays collapsed.
        fx.volumes->Set('R', CFakeVolumeSource::NoMedium());
        for (const char* name : {"a", "R:\\"}) {
            Item(dlg, name)->setExpanded(true);
            QCOMPARE(Outline(dlg), "R:\\+ T:\\+");
        }
    }
};

QTEST_MAIN(CFolderSelectDlgTest)
#include "tst_FolderSelectDlg.moc"
