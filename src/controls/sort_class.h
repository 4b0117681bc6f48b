#pragma once
// Sorts the rows of a list (a QTreeWidget used as a report-style list) by
// the text or the integer value of one column, ascending or descending.
// Each row moves whole: its cells, check state and item data stay with it.
// Rows that compare equal keep their order.
//
// Use:
//     CSortClass sort(list, column, numeric);
//     sort.Sort(ascending);

class QTreeWidget;

class CSortClass {
public:
    // The list is borrowed. numeric reads the column as a decimal integer
    // (leading blanks, an optional sign, digits; anything else reads 0);
    // otherwise the texts compare without regard to case.
    CSortClass(QTreeWidget* list, int column, bool numeric);
    virtual ~CSortClass();

    void Sort(bool ascending);

    // The integer a cell's text reads as.
    static int ReadInt(const char* text);

private:
    QTreeWidget* list_;
    int column_;
    bool numeric_;
};
