// The dialog base: controls by id, message maps, dialog units and template
// fonts. Escape and the close box are tested through the dialogs using them.

#include "ui/framework/DialogBase.h"

#include "support/DialogTestHelpers.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// One control of each kind a message map serves.
class CSampleDlg : public CDialogBase {
public:
    enum : int { IDC_BUTTON = 10, IDC_COMBO, IDC_LIST, IDC_EDIT, IDC_TEXT };
    using CDialogBase::BindControl;
    using CDialogBase::CMessageEntry;
    using CDialogBase::ConnectMessageMap;

    CSampleDlg() : CDialogBase(999, TemplateFont(kProportionalFace, 9), nullptr) {
        auto* pCombo = new QComboBox(this);
        pCombo->addItems({"a", "b", "c"});
        auto* pList = new QListWidget(this);
        pList->addItems({"x", "y"});
        BindControl(IDC_COMBO, pCombo);
        BindControl(IDC_LIST, pList);
        BindControl(IDC_EDIT, new QLineEdit(this));
        auto* pLayout = new QVBoxLayout(this);
        pLayout->addWidget(MakeButton(IDC_BUTTON, "押す(&P)"));
        for (int id : {IDC_COMBO, IDC_LIST, IDC_EDIT})
            pLayout->addWidget(FindControl(id));
        pLayout->addWidget(MakeStatic(IDC_TEXT, "text"));
        static const CMessageEntry<CSampleDlg> aMap[] = {
            {IDC_BUTTON, ENotify::Clicked, &CSampleDlg::OnButton},
            {IDC_COMBO, ENotify::SelChange, &CSampleDlg::OnCombo},
            {IDC_LIST, ENotify::DblClk, &CSampleDlg::OnList},
            {IDC_EDIT, ENotify::Changed, &CSampleDlg::OnEdit}};
        ConnectMessageMap(aMap);
    }
    void OnButton() { ++m_aCalls[0]; }
    void OnCombo() { ++m_aCalls[1]; }
    void OnList() { ++m_aCalls[2]; }
    void OnEdit() { ++m_aCalls[3]; }
    QList<int> m_aCalls = {0, 0, 0, 0};
};

} // namespace

class CDialogFrameworkTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAndMessageMaps();
    void dialogUnitsAndFonts();
};

void CDialogFrameworkTest::controlsAndMessageMaps() {
    CSampleDlg dlg;
    QCOMPARE(ControlOf(&dlg, CSampleDlg::IDC_LIST), dlg.FindControl(CSampleDlg::IDC_LIST));
    QCOMPARE(dlg.MissingControls({CSampleDlg::IDC_BUTTON, 4711, CSampleDlg::IDC_TEXT, 4712}),
             (std::vector<int>{4711, 4712}));
    // Wrong types, unbound ids, a second binding and broken maps are refused.
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.Control<QLabel>(CSampleDlg::IDC_BUTTON));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.Control<QPushButton>(4711));
    QVERIFY_THROWS_EXCEPTION(std::logic_error,
                             dlg.BindControl(CSampleDlg::IDC_TEXT, new QLabel(&dlg)));
    QCOMPARE(dlg.FindControl(CSampleDlg::IDC_TEXT), dlg.Control<QLabel>(CSampleDlg::IDC_TEXT));
    const CSampleDlg::CMessageEntry<CSampleDlg> unbound[] = {
        {77, ENotify::Clicked, &CSampleDlg::OnButton}};
    const CSampleDlg::CMessageEntry<CSampleDlg> wrong[] = {
        {CSampleDlg::IDC_BUTTON, ENotify::SelChange, &CSampleDlg::OnButton}};
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.ConnectMessageMap(unbound));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.ConnectMessageMap(wrong));
    // Each handler answers its user action; a change by the program is none.
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    ClickControl(&dlg, CSampleDlg::IDC_BUTTON);
    auto* pCombo = dlg.Control<QComboBox>(CSampleDlg::IDC_COMBO);
    pCombo->setCurrentIndex(2);
    QCOMPARE(dlg.m_aCalls, (QList<int>{1, 0, 0, 0}));
    pCombo->setFocus();
    QTest::keyClick(pCombo, Qt::Key_Up);
    auto* pList = dlg.Control<QListWidget>(CSampleDlg::IDC_LIST);
    const QPoint item = pList->visualItemRect(pList->item(1)).center();
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, item);
    QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, item);
    QTest::keyClicks(dlg.Control<QLineEdit>(CSampleDlg::IDC_EDIT), "ab");
    QCOMPARE(dlg.m_aCalls, (QList<int>{1, 1, 1, 2}));
}

void CDialogFrameworkTest::dialogUnitsAndFonts() {
    // Base units 6 x 12: x = dlu * 6 / 4 and y = dlu * 12 / 8, halves away
    // from zero; 7 x 13: 7 -> 12.25 and 11.375.
    for (const auto& [baseX, baseY, dlu, x, y] : std::initializer_list<std::array<int, 5>>{
             {6, 12, 50, 75, 75}, {6, 12, 1, 2, 2}, {6, 12, -3, -5, -5}, {7, 13, 7, 12, 11}})
        QCOMPARE(QList<int>({CDialogUnits(baseX, baseY).X(dlu), CDialogUnits(baseX, baseY).Y(dlu)}),
                 QList<int>({x, y}));
    const QFont proportional = TemplateFont(kProportionalFace, 9);
    QCOMPARE(QFontInfo(proportional).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(proportional.pointSize(), 9);
    // A dual-width face: every half-width character has one advance, so
    // blank-padded figures line up, and the average width is that advance.
    const QFont fixed = TemplateFont(kFixedFace, 9);
    QCOMPARE(QFontInfo(fixed).family(), QStringLiteral("IPAGothic"));
    const QFontMetrics metrics(fixed);
    for (QChar ch : QStringLiteral("0123456789 ,.-KB()ｸﾗｽﾀWi"))
        QCOMPARE(metrics.horizontalAdvance(ch), metrics.horizontalAdvance(' '));
    const CDialogUnits units(fixed);
    QCOMPARE(units.BaseX(), metrics.horizontalAdvance('x'));
    QVERIFY(units.BaseY() > units.BaseX() && units.Y(8) == units.BaseY());
    QVERIFY(CDialogUnits(TemplateFont(kFixedFace, 18)).BaseY() > units.BaseY());
}

QTEST_MAIN(CDialogFrameworkTest)
#include "tst_DialogBase.moc"
