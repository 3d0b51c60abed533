#pragma once
// Moves between the two lists of a choosing dialog: a sorted candidate list
// and a chosen list. An entry is known by its whole text, letter case
// ignored, so an entry is never lost because a longer one merely begins
// with it ("*.h" moved back beside "*.htm").

#include <QString>

class QListWidget;

// The selected entry's row, or -1 when none is selected.
int SelectedRow(const QListWidget& list);
// After a removal at row: selects the entry now there, else the last one.
void SelectNear(QListWidget& list, int row);
// The row of an entry equal to text (letter case ignored), or -1.
int FindEntry(const QListWidget& list, const QString& text);
// Inserts text where the sorted list keeps it (letter case ignored, after
// equal texts) and returns the row.
int InsertSorted(QListWidget& list, const QString& text);
// Removes the entry at row and returns its text.
QString TakeEntry(QListWidget& list, int row);

// Moves the entry at row of from into the sorted list to, unless to holds
// it already; the moved (or held) entry of to is selected, and in from the
// entry now at row, else the one before it. Returns its row in to.
int MoveToSorted(QListWidget& from, int row, QListWidget& to);
// Moves every entry of from into the sorted list to, but those to holds
// already; from is left empty and to's first entry selected.
void MoveAllToSorted(QListWidget& from, QListWidget& to);
