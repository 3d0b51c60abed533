#pragma once
// The shared base of every dialog: controls known by numeric ids, a message
// map from (control id, notification) to member function, sizes given in
// dialog units of the template's font, and configurable Escape and close-box
// behaviour. Dialogs lay their controls out with Qt layouts; the dialog-unit
// sizes are minimums, so a longer text grows the control instead of being cut.

#include <QDialog>
#include <QFont>

#include <functional>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

class QAbstractButton;
class QLabel;
class QLayout;
class QPushButton;
class QVBoxLayout;

// Notifications a message map can react to.
enum class ENotify {
    Clicked,   // a button was clicked (also a check box toggled by the user)
    Changed,   // the text of an edit or editable combo box changed
    SelChange, // the current item of a combo box or list changed
    DblClk,    // an item of a list was double-clicked
};

// Base units of a font as the dialog templates count them: 1 horizontal
// dialog unit is a quarter of the average character width, 1 vertical unit
// an eighth of the character height.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont& font);
    CDialogUnits(int baseX, int baseY) : m_nBaseX(baseX), m_nBaseY(baseY) {}
    int BaseX() const { return m_nBaseX; }
    int BaseY() const { return m_nBaseY; }
    // Pixels for a horizontal / vertical count of dialog units, rounded to the
    // nearest pixel (halves away from zero).
    int X(int dlu) const;
    int Y(int dlu) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};

// The font a template names, mapped to an installed face: "ＭＳ Ｐゴシック" ->
// IPAPGothic, "ＭＳ ゴシック" -> IPAGothic (fixed pitch); other names are used
// as given. pointSize is the template's point size.
QFont TemplateFont(const std::string& face, int pointSize);

// Proportional font of most templates, and the fixed-pitch one of dialogs
// whose figures must line up in columns.
inline constexpr const char* kProportionalFace = "ＭＳ Ｐゴシック";
inline constexpr const char* kFixedFace = "ＭＳ ゴシック";

class CDialogBase : public QDialog {
    Q_OBJECT

public:
    // templateId names the dialog template; the font applies to every control.
    CDialogBase(int templateId, const QFont& font, QWidget* parent);
    ~CDialogBase() override;

    int TemplateId() const { return m_nTemplateId; }
    const CDialogUnits& Units() const { return m_units; }

    // Control with the given id, or nullptr when none is bound.
    QWidget* FindControl(int id) const;
    // Control with the given id as type T. Throws std::logic_error when the id
    // is not bound or the control is not a T (a dialog built wrong fails at
    // construction, not later at a user's click).
    template <class T> T* Control(int id) const {
        T* pControl = qobject_cast<T*>(FindControl(id));
        if (!pControl)
            throw std::logic_error(BindingError(id, T::staticMetaObject.className()));
        return pControl;
    }
    // The ids of the list that have no control bound (empty when all are).
    std::vector<int> MissingControls(std::initializer_list<int> ids) const;

    // Ends the dialog with the answer (hides it; a modal run returns it).
    void EndDialog(int answer) { done(answer); }

    // Escape and the close box end the dialog with this answer (default 2,
    // the cancel answer).
    void SetEscapeAnswer(int answer);
    // Escape and the close box call the handler instead and leave the dialog
    // open.
    void SetEscapeHandler(std::function<void()> handler);
    // Shows or hides the close box and the system menu of the title bar.
    void SetCloseBox(bool bShow);

    void reject() override;

    // The largest size the dialog's frame leaves for it on the available
    // area of its screen.
    QSize AvailableSize() const;

protected:
    // A dialog larger than its screen's available area is cut down to it as
    // it is shown (a last resort: paths are elided so this rarely happens).
    void showEvent(QShowEvent* pEvent) override;

    // One entry of a dialog's message map.
    template <class D> struct CMessageEntry {
        int nId;
        ENotify notify;
        void (D::*pHandler)();
    };

    // Binds a widget to a control id (stored as the property "controlId" too,
    // so tests find it from outside). Throws std::logic_error when the id is
    // already bound to another widget.
    void BindControl(int id, QWidget* pWidget);
    // Throws std::logic_error naming the first id of the list not bound.
    void VerifyControls(std::initializer_list<int> ids) const;

    // Connects every entry of a static message map. Throws std::logic_error
    // when an id is unbound or its control cannot send the notification.
    template <class D, std::size_t N> void ConnectMessageMap(const CMessageEntry<D> (&aMap)[N]) {
        D* pSelf = static_cast<D*>(this);
        for (const CMessageEntry<D>& entry : aMap) {
            auto pHandler = entry.pHandler;
            Connect(entry.nId, entry.notify, [pSelf, pHandler] { (pSelf->*pHandler)(); });
        }
    }
    void Connect(int id, ENotify notify, std::function<void()> handler);

    // Helpers that create a bound control sized in dialog units (minimums).
    QPushButton* MakeButton(int id, const std::string& text, int cxDlu = 50, int cyDlu = 14);
    QLabel* MakeStatic(int id, const std::string& text, int cxDlu = 0);
    // A static text that shows a path: elided in the middle when it does not
    // fit, never asking for more than half the screen's width (CPathLabel).
    QLabel* MakePathStatic(int id, const std::string& text, int cxDlu = 0);
    QLabel* MakeLabel(const std::string& text); // an unbound label (no id)
    // A button showing one of our arrows, named for screen readers and tool tips.
    QPushButton* MakeArrowButton(int id, Qt::ArrowType arrow, const std::string& name, int cxDlu);
    // The column between a candidate list and a chosen list: the two move
    // buttons, then select-all and clear-all with their captions.
    struct CMoveColumn {
        int nToChosen, nToCandidates, nSelectAll, nClearAll;
        const char* pszClearAll;
        int cxArrowDlu;
    };
    QVBoxLayout* MakeMoveColumn(const CMoveColumn& column);
    // Margin and spacing of the templates: 7 and 4 dialog units.
    void ApplyTemplateMargins(QLayout* pLayout) const;

private:
    static std::string BindingError(int id, const char* typeName);
    int m_nTemplateId;
    CDialogUnits m_units;
    std::map<int, QWidget*> m_mapControls;
    int m_nEscapeAnswer = 2;
    std::function<void()> m_fnEscape;
};

// Text of a std::string for Qt, and back.
QString QStr(const std::string& text);
std::string StdStr(const QString& text);
