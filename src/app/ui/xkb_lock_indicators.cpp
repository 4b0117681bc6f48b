#include "app/ui/xkb_lock_indicators.h"

#include <xcb/xcb.h>
// The XKB header is C and names a field "explicit".
#define explicit explicit_field
#include <xcb/xkb.h>
#undef explicit

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

}  // namespace

XkbLockIndicators::XkbLockIndicators(QObject* parent) : QObject(parent) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c) return;
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xkb_id);
    if (!ext || !ext->present) return;
    // Qt has agreed a version on this connection already; asking once more
    // is harmless and makes sure of it.
    const Reply<xcb_xkb_use_extension_reply_t> use(xcb_xkb_use_extension_reply(
        c, xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION), nullptr));
    if (!use || !use->supported) return;

    for (int p = 0; p < LockIndicators::kPaneCount; ++p) {
        const auto pane = static_cast<LockIndicators::Pane>(p);
        const char* name = LockIndicators::IndicatorName(pane);
        const Reply<xcb_intern_atom_reply_t> atom(xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 1, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
        if (!atom || atom->atom == XCB_ATOM_NONE) continue;
        const Reply<xcb_xkb_get_named_indicator_reply_t> light(xcb_xkb_get_named_indicator_reply(
            c,
            xcb_xkb_get_named_indicator(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_LED_CLASS_DFLT_XI_CLASS,
                                        XCB_XKB_ID_DFLT_XI_ID, atom->atom),
            nullptr));
        if (light && light->found) indicators_.SetBit(pane, light->ndx);
    }

    // Only the indicator-state bit is touched, so the events Qt chose for
    // itself on this connection stay as they are.
    xcb_xkb_select_events(c, XCB_XKB_ID_USE_CORE_KBD, XCB_XKB_EVENT_TYPE_INDICATOR_STATE_NOTIFY, 0,
                          XCB_XKB_EVENT_TYPE_INDICATOR_STATE_NOTIFY, 0, 0, nullptr);
    const Reply<xcb_xkb_get_indicator_state_reply_t> state(
        xcb_xkb_get_indicator_state_reply(c, xcb_xkb_get_indicator_state(c, XCB_XKB_ID_USE_CORE_KBD), nullptr));
    if (!state) return;
    state_ = state->state;
    device_ = state->deviceID;
    first_event_ = ext->first_event;
    connection_ = c;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

XkbLockIndicators::~XkbLockIndicators() {
    if (connection_ && QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool XkbLockIndicators::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    // Every XKB event shares one event code; its kind is the second byte.
    if ((event->response_type & 0x7F) != first_event_ || event->pad0 != XCB_XKB_INDICATOR_STATE_NOTIFY) return false;
    const auto* notify = static_cast<const xcb_xkb_indicator_state_notify_event_t*>(message);
    if (notify->deviceID != device_ || notify->state == state_) return false;
    state_ = notify->state;
    emit Changed();
    return false;
}
