#pragma once
// Keeps the modeless windows that a modal dialog owns (the telemetry
// graph's map and time-difference windows) in front of it under an X11
// window manager.
//
// Qt marks a modal dialog _NET_WM_STATE_MODAL. Openbox raises such a
// window by raising its owner instead and stacks the modal window above
// every other window of that owner, so the dialog's own windows drop
// behind it at every click. Qt keeps input away from the blocked windows
// by itself, so the mark adds nothing: it is taken off each time the
// dialog is mapped, and the window manager keeps the dialog's windows in
// front of it as it does for any owner. On other platforms nothing
// changes.

#include <QObject>

class QWidget;

class ModalOwnerStacking : public QObject {
public:
    // Watches `dialog`, which owns the object from then on.
    explicit ModalOwnerStacking(QWidget& dialog);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UnmarkModal();

    QWidget& dialog_;
};
