// The dialog base: controls bound once by id; message maps checked and called on user actions.

#include "ui/framework/DialogBase.h"

#include "support/DialogTestHelpers.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A button and a combo box; each handler counts. (The dialogs' suites drive the other kinds.)
class CSampleDlg : public CDialogBase {
public:
    enum : int { IDC_BUTTON = 10, IDC_COMBO };
    using CDialogBase::BindControl;
    using CDialogBase::CMessageEntry;
    using CDialogBase::ConnectMessageMap;

    CSampleDlg() : CDialogBase(999, TemplateFont(kProportionalFace, 9), nullptr) {
        auto* pLayout = new QVBoxLayout(this);
        pLayout->addWidget(MakeButton(IDC_BUTTON, "押す(&P)"));
        auto* pCombo = new QComboBox(this);
        pCombo->addItems({"a", "b", "c"});
        BindControl(IDC_COMBO, pCombo);
        pLayout->addWidget(pCombo);
        static const CMessageEntry<CSampleDlg> aMap[] = {
            {IDC_BUTTON, ENotify::Clicked, &CSampleDlg::On<0>},
            {IDC_COMBO, ENotify::SelChange, &CSampleDlg::On<1>}};
        ConnectMessageMap(aMap);
    }
    template <int N> void On() { ++m_aCalls[N]; }
    QList<int> m_aCalls = {0, 0};
};

} // namespace

class CDialogFrameworkTest : public QObject {
    Q_OBJECT
private slots:

    void controlsAndMessageMaps() {
        CSampleDlg dlg;
        QCOMPARE(dlg.MissingControls({CSampleDlg::IDC_BUTTON, 4711, CSampleDlg::IDC_COMBO, 4712}),
                 (std::vector<int>{4711, 4712}));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.Control<QLineEdit>(CSampleDlg::IDC_BUTTON));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.Control<QPushButton>(4711));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.BindControl(CSampleDlg::IDC_COMBO, &dlg));
        const CSampleDlg::CMessageEntry<CSampleDlg> unbound[] = {{77, ENotify::Clicked, nullptr}};
        const CSampleDlg::CMessageEntry<CSampleDlg> wrong[] = {
            {CSampleDlg::IDC_BUTTON, ENotify::SelChange, nullptr}};
        QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.ConnectMessageMap(unbound));
        QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.ConnectMessageMap(wrong));
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        ClickControl(&dlg, CSampleDlg::IDC_BUTTON);
        auto* pCombo = dlg.Control<QComboBox>(CSampleDlg::IDC_COMBO);
        pCombo->setCurrentIndex(2); // a change by the program is no user's choice
        QCOMPARE(dlg.m_aCalls, (QList<int>{1, 0}));
        pCombo->setFocus();
        QTest::keyClick(pCombo, Qt::Key_Up);
        QCOMPARE(dlg.m_aCalls, (QList<int>{1, 1}));
    }
};

QTEST_MAIN(CDialogFrameworkTest)
#include "tst_DialogBase.moc"
