#include "exam/lockdown.h"

#include <QtGui/qguiapplication_platform.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#ifdef VEMO_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace {

// How often and how long the grabs are tried while the window comes on screen.
constexpr int kRetryMs = 50;
constexpr int kAttempts = 40;
constexpr int kWatchdogMs = 500;

#ifdef VEMO_HAVE_XCB
xcb_connection_t* XConnection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}
#endif

}  // namespace

ExamLockdown::ExamLockdown(QWidget* window, Handlers handlers)
    : QObject(window), m_window(window), m_handlers(std::move(handlers)) {
    m_retry = new QTimer(this);
    m_retry->setInterval(kRetryMs);
    connect(m_retry, &QTimer::timeout, this, [this] {
        TakeGrabs();
        if (m_everHeld || ++m_attempts < kAttempts) return;
        m_retry->stop();
        if (!m_failureReported && m_handlers.grabFailed) {
            m_failureReported = true;
            m_handlers.grabFailed();
        }
    });
    m_watchdog = new QTimer(this);
    m_watchdog->setInterval(kWatchdogMs);
    connect(m_watchdog, &QTimer::timeout, this, &ExamLockdown::TakeGrabs);
    window->installEventFilter(this);
    if (Supported()) qApp->installNativeEventFilter(this);
}

ExamLockdown::~ExamLockdown() {
    if (qApp) qApp->removeNativeEventFilter(this);
    Stop();
}

bool ExamLockdown::Supported() {
#ifdef VEMO_HAVE_XCB
    return XConnection() != nullptr;
#else
    return false;
#endif
}

void ExamLockdown::ReleasePointer() {
    m_pointerWanted = false;
    UngrabPointer();
}

void ExamLockdown::Stop() {
    m_active = false;
    m_pointerWanted = false;
    m_retry->stop();
    m_watchdog->stop();
    UngrabPointer();
    UngrabKeyboard();
}

bool ExamLockdown::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_window || !m_active) return false;
    switch (event->type()) {
        case QEvent::WindowStateChange:
            if (m_window->windowState() & Qt::WindowMinimized)
                QTimer::singleShot(0, this, &ExamLockdown::RestoreWindow);
            break;
        case QEvent::Show:
        case QEvent::WindowActivate:
            if (Supported()) {
                // An unmapped window lost its grabs; take them again as soon as X allows.
                m_attempts = 0;
                m_retry->start();
                m_watchdog->start();
            }
            break;
        default:
            break;
    }
    return false;
}

void ExamLockdown::RestoreWindow() {
    if (!m_active) return;
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) |
                             Qt::WindowFullScreen);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void ExamLockdown::TakeGrabs() {
    if (!m_active || !m_window->isVisible()) return;
    // A popup of the program's own holds the grabs while it is open, and a button held
    // down belongs to Qt's implicit grab; both give them back when they end.
    if (QApplication::activePopupWidget() || QApplication::mouseButtons() != Qt::NoButton) return;
    const bool keyboard = GrabKeyboard();
    const bool pointer = !m_pointerWanted || GrabPointer();
    if (keyboard && pointer) {
        m_everHeld = true;
        m_retry->stop();
    }
}

#ifdef VEMO_HAVE_XCB

bool ExamLockdown::GrabKeyboard() {
    xcb_connection_t* connection = XConnection();
    if (!connection) return false;
    // Keys still go to whichever of the program's own windows has the focus (a message
    // box over the exam window must take Enter); nothing reaches any other program.
    const xcb_grab_keyboard_cookie_t cookie =
        xcb_grab_keyboard(connection, 1, xcb_window_t(m_window->winId()), XCB_CURRENT_TIME,
                          XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    xcb_grab_keyboard_reply_t* reply = xcb_grab_keyboard_reply(connection, cookie, nullptr);
    const bool held = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    return held;
}

bool ExamLockdown::GrabPointer() {
    xcb_connection_t* connection = XConnection();
    if (!connection) return false;
    // The program's own windows (message boxes, the picture) get their clicks as usual;
    // the pointer cannot leave the full-screen window, and clicks on any other
    // program's window that lies above it come to the exam window instead.
    const auto window = xcb_window_t(m_window->winId());
    const uint16_t mask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                          XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_ENTER_WINDOW |
                          XCB_EVENT_MASK_LEAVE_WINDOW;
    const xcb_grab_pointer_cookie_t cookie =
        xcb_grab_pointer(connection, 1, window, mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                         window, XCB_NONE, XCB_CURRENT_TIME);
    xcb_grab_pointer_reply_t* reply = xcb_grab_pointer_reply(connection, cookie, nullptr);
    const bool held = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
    std::free(reply);
    return held;
}

void ExamLockdown::UngrabPointer() {
    if (xcb_connection_t* connection = XConnection()) {
        xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
}

void ExamLockdown::UngrabKeyboard() {
    if (xcb_connection_t* connection = XConnection()) {
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
        xcb_flush(connection);
    }
}

bool ExamLockdown::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (!m_active || eventType != "xcb_generic_event_t" ||
        !m_window->testAttribute(Qt::WA_WState_Created))
        return false;
    const auto* event = static_cast<xcb_generic_event_t*>(message);
    const auto window = xcb_window_t(m_window->winId());
    switch (event->response_type & 0x7f) {
        case XCB_DESTROY_NOTIFY:
            // Running on without a window would hold the single-instance lock for nothing.
            if (reinterpret_cast<const xcb_destroy_notify_event_t*>(event)->window == window &&
                m_handlers.windowDestroyed) {
                m_active = false;
                m_handlers.windowDestroyed();
                return true;
            }
            break;
        case XCB_UNMAP_NOTIFY:
            // Unmapped from outside (iconified by the window manager, or by a tool): map
            // it again, which also asks the window manager to restore it.
            if (reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window == window &&
                m_window->isVisible()) {
                if (xcb_connection_t* connection = XConnection()) {
                    xcb_map_window(connection, window);
                    xcb_flush(connection);
                }
                QTimer::singleShot(0, this, &ExamLockdown::RestoreWindow);
            }
            break;
        default:
            break;
    }
    return false;
}

#else

bool ExamLockdown::GrabKeyboard() {
    return false;
}
bool ExamLockdown::GrabPointer() {
    return false;
}
void ExamLockdown::UngrabPointer() {}
void ExamLockdown::UngrabKeyboard() {}
bool ExamLockdown::nativeEventFilter(const QByteArray&, void*, qintptr*) {
    return false;
}

#endif
