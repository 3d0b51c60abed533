#pragma once
// Host paths brought into a folder field: a folder dropped from a file
// manager, or a host path pasted or typed ("/home/me/doc"), is turned into
// its drive-letter form through the drive map. A path that no letter holds
// gets a message offering the drive-letter dialog, with the folder
// proposed there. Typing a host path by hand is converted when the field
// is left (or Enter pressed), not at its first "/".

#include <QObject>

#include <string>

class QLineEdit;

class CHostPathInput : public QObject {
    Q_OBJECT

public:
    // Attaches to the field, which owns the object.
    explicit CHostPathInput(QLineEdit* pEdit);

    // Puts the drive-letter form of a host path into the field. False when
    // no letter holds it and the user did not give one (the field is then
    // left as it was).
    bool Convert(const std::string& hostPath);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void OnTextEdited(const QString& text);

    QLineEdit* m_pEdit;
    QString m_strBefore;   // the text before the last edit
    QString m_strDeclined; // the last host path left without a letter
};

// The text of the message for a host path that no drive letter holds.
std::string UnmappedPathMessage(const std::string& hostPath);
