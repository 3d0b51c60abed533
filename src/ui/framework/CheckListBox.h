#pragma once
// A list whose every line carries a two-state check box that toggles when
// clicked (or with the space bar on the current line). A line may stand
// indented by its depth, with the part of its text before the line's own
// name drawn dimmer, so a long list of folder paths reads as a tree while
// each line still shows its whole path. Both scroll bars appear as needed.

#include <QListWidget>

class CCheckListBox : public QListWidget {
    Q_OBJECT

public:
    explicit CCheckListBox(QWidget* parent = nullptr);

    // Appends an unchecked line and returns its row. The text is indented
    // by depth steps; the characters before nameAt are dimmer.
    int AddString(const QString& text, int depth = 0, int nameAt = 0);
    // 1 when the line is checked, else 0 (also for a row out of range).
    int GetCheck(int row) const;
    void SetCheck(int row, int check);
    // Checks or clears every line.
    void SetAllChecks(int check);

    // Pixels one depth step indents.
    int IndentStep() const;
};
