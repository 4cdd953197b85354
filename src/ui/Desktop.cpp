#include "Desktop.h"

#include <QGuiApplication>
#include <QVariant>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstring>

namespace {

const char SkipProperty[] = "tarvikSkipTaskbar";

xcb_atom_t Atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t atom = reply->atom;
    free(reply);
    return atom;
}

void Send(QWidget *window, bool skip)
{
    if (QGuiApplication::platformName() != QStringLiteral("xcb") || !window->windowHandle())
        return;
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *c = x11 ? x11->connection() : nullptr;
    if (!c)
        return;
    const xcb_atom_t state = Atom(c, "_NET_WM_STATE");
    const xcb_atom_t skipTaskbar = Atom(c, "_NET_WM_STATE_SKIP_TASKBAR");
    if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
        return;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window->winId());
    event.type = state;
    event.data.data32[0] = skip ? 1 : 0; // add or remove
    event.data.data32[1] = skipTaskbar;
    event.data.data32[3] = 1; // from an application
    xcb_send_event(c, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

} // namespace

void SetSkipTaskbar(QWidget *window, bool skip)
{
    window->setProperty(SkipProperty, skip);
    if (window->isVisible())
        Send(window, skip);
}

void ApplySkipTaskbar(QWidget *window)
{
    const QVariant skip = window->property(SkipProperty);
    if (skip.isValid() && skip.toBool())
        Send(window, true);
}
