#pragma once
// What the point list's state asks of the window that shows it: the list
// holds only a row count and asks for each row's texts when it draws it,
// and the curve combo holds one entry per curve.

class PointListView {
public:
    virtual ~PointListView() = default;
    // Around changes that must not repaint anything in between.
    virtual void BeginQuiet() = 0;
    virtual void EndQuiet() = 0;
    virtual void InsertRow(int row) = 0;
    virtual void DeleteRow(int row) = 0;
    virtual void SetRowCount(int count) = 0;
    // Rows first..last are drawn again from the curve.
    virtual void RepaintRows(int first, int last) = 0;
    // The combo's entries or selection changed; `now` repaints at once.
    virtual void RepaintCombo(bool now) = 0;
};
