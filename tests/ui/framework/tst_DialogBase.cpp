// The dialog base: controls by id, message maps, dialog units, template
// fonts, Escape and close-box behaviour.

#include "ui/framework/DialogBase.h"

#include <QApplication>
#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A small dialog with one control of each kind a message map serves.
class CSampleDlg : public CDialogBase {
public:
    enum : int { IDC_BUTTON = 10, IDC_COMBO = 11, IDC_LIST = 12, IDC_EDIT = 13, IDC_TEXT = 14 };
    // Which message map to use: 0 the good one, 1 with an unbound id, 2 with a
    // notification the control cannot send.
    explicit CSampleDlg(int mapVariant = 0);
    void OnButton() { ++m_nClicks; }
    void OnCombo() { ++m_nComboChanges; }
    void OnListDouble() { ++m_nDoubleClicks; }
    void OnEdit() { ++m_nEdits; }
    using CDialogBase::BindControl;

    int m_nClicks = 0;
    int m_nComboChanges = 0;
    int m_nDoubleClicks = 0;
    int m_nEdits = 0;

private:
    static const CMessageEntry<CSampleDlg> s_aMap[];
    static const CMessageEntry<CSampleDlg> s_aUnboundMap[];
    static const CMessageEntry<CSampleDlg> s_aWrongNotifyMap[];
};

const CDialogBase::CMessageEntry<CSampleDlg> CSampleDlg::s_aMap[] = {
    {IDC_BUTTON, ENotify::Clicked, &CSampleDlg::OnButton},
    {IDC_COMBO, ENotify::SelChange, &CSampleDlg::OnCombo},
    {IDC_LIST, ENotify::DblClk, &CSampleDlg::OnListDouble},
    {IDC_EDIT, ENotify::Changed, &CSampleDlg::OnEdit},
};
const CDialogBase::CMessageEntry<CSampleDlg> CSampleDlg::s_aUnboundMap[] = {
    {IDC_BUTTON, ENotify::Clicked, &CSampleDlg::OnButton},
    {77, ENotify::Clicked, &CSampleDlg::OnButton},
};
const CDialogBase::CMessageEntry<CSampleDlg> CSampleDlg::s_aWrongNotifyMap[] = {
    {IDC_BUTTON, ENotify::SelChange, &CSampleDlg::OnButton},
};

CSampleDlg::CSampleDlg(int mapVariant)
    : CDialogBase(999, TemplateFont(kProportionalFace, 9), nullptr) {
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(MakeButton(IDC_BUTTON, "押す(&P)"));
    auto* pCombo = new QComboBox(this);
    pCombo->addItems({"a", "b", "c"});
    BindControl(IDC_COMBO, pCombo);
    pLayout->addWidget(pCombo);
    auto* pList = new QListWidget(this);
    pList->addItems({"x", "y"});
    BindControl(IDC_LIST, pList);
    pLayout->addWidget(pList);
    auto* pEdit = new QLineEdit(this);
    BindControl(IDC_EDIT, pEdit);
    pLayout->addWidget(pEdit);
    pLayout->addWidget(MakeStatic(IDC_TEXT, "text"));
    if (mapVariant == 0)
        ConnectMessageMap(s_aMap);
    else if (mapVariant == 1)
        ConnectMessageMap(s_aUnboundMap);
    else
        ConnectMessageMap(s_aWrongNotifyMap);
}

// Finds a control from outside, by the property every bound control carries.
QWidget* ByControlId(QWidget* pDialog, int id) {
    for (QWidget* pChild : pDialog->findChildren<QWidget*>()) {
        if (pChild->property("controlId").toInt() == id)
            return pChild;
    }
    return nullptr;
}

} // namespace

class CDialogFrameworkTest : public QObject {
    Q_OBJECT
private slots:
    void controlsAreFoundById();
    void typedAccessRefusesWrongTypeAndUnboundIds();
    void bindingAnIdTwiceIsRefused();
    void messageMapCallsHandlers();
    void brokenMessageMapsFailAtConstruction();
    void dialogUnitsRoundLikeTemplates_data();
    void dialogUnitsRoundLikeTemplates();
    void dialogUnitsFollowTheFont();
    void templateFontsMapToInstalledFaces();
    void escapeEndsWithTheConfiguredAnswer();
    void escapeHandlerKeepsTheDialogOpen();
    void closeBoxCanBeRemoved();
};

void CDialogFrameworkTest::controlsAreFoundById() {
    CSampleDlg dlg;
    QWidget* pButton = dlg.FindControl(CSampleDlg::IDC_BUTTON);
    QVERIFY(qobject_cast<QPushButton*>(pButton));
    QCOMPARE(ByControlId(&dlg, CSampleDlg::IDC_BUTTON), pButton);
    QCOMPARE(ByControlId(&dlg, CSampleDlg::IDC_LIST), dlg.FindControl(CSampleDlg::IDC_LIST));
    QVERIFY(!dlg.FindControl(4711));
    QVERIFY(dlg.MissingControls({CSampleDlg::IDC_BUTTON, CSampleDlg::IDC_TEXT}).empty());
    QCOMPARE(dlg.MissingControls({CSampleDlg::IDC_BUTTON, 4711, 4712}),
             (std::vector<int>{4711, 4712}));
}

void CDialogFrameworkTest::typedAccessRefusesWrongTypeAndUnboundIds() {
    CSampleDlg dlg;
    QVERIFY(dlg.Control<QLabel>(CSampleDlg::IDC_TEXT));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.Control<QLabel>(CSampleDlg::IDC_BUTTON));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.Control<QPushButton>(4711));
}

void CDialogFrameworkTest::bindingAnIdTwiceIsRefused() {
    CSampleDlg dlg;
    auto* pOther = new QLabel(&dlg);
    QVERIFY_THROWS_EXCEPTION(std::logic_error, dlg.BindControl(CSampleDlg::IDC_TEXT, pOther));
    QVERIFY(dlg.FindControl(CSampleDlg::IDC_TEXT) != pOther);
}

void CDialogFrameworkTest::messageMapCallsHandlers() {
    CSampleDlg dlg;
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseClick(dlg.Control<QPushButton>(CSampleDlg::IDC_BUTTON), Qt::LeftButton);
    QCOMPARE(dlg.m_nClicks, 1);

    auto* pCombo = dlg.Control<QComboBox>(CSampleDlg::IDC_COMBO);
    pCombo->setCurrentIndex(2); // a change by the program is no user's choice
    QCOMPARE(dlg.m_nComboChanges, 0);
    pCombo->setFocus();
    QTest::keyClick(pCombo, Qt::Key_Up);
    QCOMPARE(dlg.m_nComboChanges, 1);

    auto* pList = dlg.Control<QListWidget>(CSampleDlg::IDC_LIST);
    const QRect item = pList->visualItemRect(pList->item(1));
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, item.center());
    QTest::mouseDClick(pList->viewport(), Qt::LeftButton, {}, item.center());
    QCOMPARE(dlg.m_nDoubleClicks, 1);

    QTest::keyClicks(dlg.Control<QLineEdit>(CSampleDlg::IDC_EDIT), "ab");
    QCOMPARE(dlg.m_nEdits, 2);
    QCOMPARE(dlg.m_nClicks, 1);
}

void CDialogFrameworkTest::brokenMessageMapsFailAtConstruction() {
    QVERIFY_THROWS_EXCEPTION(std::logic_error, CSampleDlg(1));
    QVERIFY_THROWS_EXCEPTION(std::logic_error, CSampleDlg(2));
}

void CDialogFrameworkTest::dialogUnitsRoundLikeTemplates_data() {
    QTest::addColumn<int>("baseX");
    QTest::addColumn<int>("baseY");
    QTest::addColumn<int>("dlu");
    QTest::addColumn<int>("pixelsX");
    QTest::addColumn<int>("pixelsY");
    // 6 x 12 base units: x = dlu * 6 / 4, y = dlu * 12 / 8, halves away from 0.
    QTest::newRow("button 50 x 14") << 6 << 12 << 50 << 75 << 75;
    QTest::newRow("height 14") << 6 << 12 << 14 << 21 << 21;
    QTest::newRow("one unit rounds up") << 6 << 12 << 1 << 2 << 2;
    QTest::newRow("negative half away") << 6 << 12 << -3 << -5 << -5;
    QTest::newRow("7 x 13 font") << 7 << 13 << 7 << 12 << 11;
    QTest::newRow("zero") << 7 << 13 << 0 << 0 << 0;
}

void CDialogFrameworkTest::dialogUnitsRoundLikeTemplates() {
    QFETCH(int, baseX);
    QFETCH(int, baseY);
    QFETCH(int, dlu);
    QFETCH(int, pixelsX);
    QFETCH(int, pixelsY);
    const CDialogUnits units(baseX, baseY);
    QCOMPARE(units.X(dlu), pixelsX);
    QCOMPARE(units.Y(dlu), pixelsY);
}

void CDialogFrameworkTest::dialogUnitsFollowTheFont() {
    // In a fixed-pitch font every Latin letter is as wide as "x", so the
    // average width over the alphabet is that width.
    const QFont fixed = TemplateFont(kFixedFace, 9);
    const CDialogUnits fixedUnits(fixed);
    QCOMPARE(fixedUnits.BaseX(), QFontMetrics(fixed).horizontalAdvance(QLatin1Char('x')));
    QCOMPARE(fixedUnits.X(4), fixedUnits.BaseX());
    QCOMPARE(fixedUnits.Y(8), fixedUnits.BaseY());
    const CDialogUnits larger(TemplateFont(kFixedFace, 18));
    QVERIFY(larger.BaseX() > fixedUnits.BaseX());
    QVERIFY(larger.BaseY() > fixedUnits.BaseY());
    QVERIFY(fixedUnits.BaseY() > fixedUnits.BaseX());
}

void CDialogFrameworkTest::templateFontsMapToInstalledFaces() {
    const QFont proportional = TemplateFont(kProportionalFace, 9);
    QCOMPARE(QFontInfo(proportional).family(), QStringLiteral("IPAPGothic"));
    QCOMPARE(proportional.pointSize(), 9);
    QVERIFY(!QFontInfo(proportional).fixedPitch());
    const QFont fixed = TemplateFont(kFixedFace, 9);
    QCOMPARE(QFontInfo(fixed).family(), QStringLiteral("IPAGothic"));
    // A dual-width face: every half-width character has one advance, so blank-
    // padded figures line up.
    const QFontMetrics metrics(fixed);
    for (QChar ch : QStringLiteral("0123456789 ,.-KB()ｸﾗｽﾀWi"))
        QCOMPARE(metrics.horizontalAdvance(ch), metrics.horizontalAdvance(QLatin1Char(' ')));
    CSampleDlg dlg;
    QCOMPARE(QFontInfo(dlg.Control<QLabel>(CSampleDlg::IDC_TEXT)->font()).family(),
             QStringLiteral("IPAPGothic"));
}

void CDialogFrameworkTest::escapeEndsWithTheConfiguredAnswer() {
    CSampleDlg dlg;
    dlg.SetEscapeAnswer(7);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), 7);

    CSampleDlg defaults;
    defaults.show();
    QVERIFY(QTest::qWaitForWindowExposed(&defaults));
    QTest::keyClick(&defaults, Qt::Key_Escape);
    QCOMPARE(defaults.result(), 2);
}

void CDialogFrameworkTest::escapeHandlerKeepsTheDialogOpen() {
    CSampleDlg dlg;
    int calls = 0;
    dlg.SetEscapeHandler([&calls] { ++calls; });
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QVERIFY(!dlg.close()); // the close box
    QVERIFY(dlg.isVisible());
    QCOMPARE(calls, 2);
}

void CDialogFrameworkTest::closeBoxCanBeRemoved() {
    CSampleDlg dlg;
    QVERIFY(dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    dlg.SetCloseBox(false);
    QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    // Without a close box, a close request still ends with the Escape answer.
    dlg.SetEscapeAnswer(5);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.close();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), 5);
}

QTEST_MAIN(CDialogFrameworkTest)
#include "tst_DialogBase.moc"
