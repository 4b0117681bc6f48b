#pragma once
// The keyboard's Caps, Num and Scroll Lock lights, read through XKB over
// the X connection Qt already holds and followed as they change. Only X11
// tells a program these lights: on any other platform (Wayland, offscreen)
// Available() is false and every pane text is empty.

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>
#include <string>

#include "app/lock_indicators.h"

struct xcb_connection_t;

class XkbLockIndicators : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit XkbLockIndicators(QObject* parent = nullptr);
    ~XkbLockIndicators() override;

    bool Available() const { return connection_ != nullptr; }
    // "CAP", "NUM" or "SCRL" while that light is on, else empty.
    std::string PaneText(LockIndicators::Pane pane) const { return indicators_.PaneText(pane, state_); }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

signals:
    // A light went on or off.
    void Changed();

private:
    xcb_connection_t* connection_ = nullptr;
    uint8_t first_event_ = 0;
    uint8_t device_ = 0;
    uint32_t state_ = 0;
    LockIndicators indicators_;
};
