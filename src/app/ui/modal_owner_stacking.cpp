#include "app/ui/modal_owner_stacking.h"

#include <xcb/xcb.h>

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

}  // namespace

ModalOwnerStacking::ModalOwnerStacking(QWidget& dialog) : QObject(&dialog), dialog_(dialog) {
    dialog.installEventFilter(this);
}

bool ModalOwnerStacking::eventFilter(QObject* watched, QEvent* event) {
    // The show event comes before the window is mapped; a mapped window's
    // state is changed through the window manager, so the change waits for
    // the event loop.
    if (watched == &dialog_ && event->type() == QEvent::Show)
        QTimer::singleShot(0, this, [this] { UnmarkModal(); });
    return QObject::eventFilter(watched, event);
}

void ModalOwnerStacking::UnmarkModal() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
    if (c == nullptr || !dialog_.isVisible()) return;
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t modal = Atom(c, "_NET_WM_STATE_MODAL");
    if (state == XCB_ATOM_NONE || modal == XCB_ATOM_NONE) return;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(dialog_.winId());
    message.type = state;
    message.data.data32[0] = 0;  // _NET_WM_STATE_REMOVE
    message.data.data32[1] = modal;
    message.data.data32[3] = 1;  // from a normal application
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    if (screen == nullptr) return;
    xcb_send_event(c, 0, screen->root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
}
