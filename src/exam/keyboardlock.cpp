#include "exam/keyboardlock.h"

#include <QtGui/qguiapplication_platform.h>

#include <QGuiApplication>
#include <QWidget>

#ifdef VEMO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {
#ifdef VEMO_HAVE_XCB
xcb_connection_t* XConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
#endif
}  // namespace

bool KeyboardLock::Supported() {
#ifdef VEMO_HAVE_XCB
    return XConnection() != nullptr;
#else
    return false;
#endif
}

bool KeyboardLock::Acquire(QWidget* window) {
#ifdef VEMO_HAVE_XCB
    xcb_connection_t* connection = XConnection();
    if (!connection || !window || !window->isVisible()) return false;
    // Keys still go to whichever of the program's own windows has the focus (a message
    // box over the exam window must take Enter); nothing reaches any other program.
    const xcb_grab_keyboard_cookie_t cookie =
        xcb_grab_keyboard(connection, 1, xcb_window_t(window->winId()), XCB_CURRENT_TIME,
                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(connection, cookie, nullptr);
    m_held = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    return m_held;
#else
    Q_UNUSED(window);
    return false;
#endif
}

void KeyboardLock::Release() {
    if (!m_held) return;
    m_held = false;
#ifdef VEMO_HAVE_XCB
    if (xcb_connection_t* connection = XConnection()) {
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
#endif
}
