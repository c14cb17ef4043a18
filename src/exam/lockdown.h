#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <functional>

class QTimer;
class QWidget;

// Keeps the examinee inside the exam window. On X11 the window holds the whole keyboard
// and the pointer, confined to the window, so that no shortcut reaches the desktop and no
// other program's window can be used; it stays above other windows and goes back to full
// screen at once when something minimises or unmaps it. The grabs are taken again
// whenever the window is shown or activated, and checked twice a second while they are
// wanted, since the window manager or a popup of the program's own may drop them.
// Elsewhere (Wayland, headless, a build without X11) nothing can be grabbed.
class ExamLockdown : public QObject, public QAbstractNativeEventFilter {
public:
    struct Handlers {
        // The grabs could not be had while the window came on screen.
        std::function<void()> grabFailed;
        // Something outside the program destroyed the window.
        std::function<void()> windowDestroyed;
    };

    ExamLockdown(QWidget* window, Handlers handlers);
    ~ExamLockdown() override;

    // Whether this desktop allows the grabs at all.
    static bool Supported();

    // At hand-in the pointer goes free; the keyboard stays held while the window lives.
    void ReleasePointer();
    // 返回 and 退出: everything goes free and the window may be minimised again.
    void Stop();

    bool Active() const { return m_active; }
    bool PointerWanted() const { return m_pointerWanted; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void TakeGrabs();
    void RestoreWindow();
    bool GrabKeyboard();
    bool GrabPointer();
    void UngrabPointer();
    void UngrabKeyboard();

    QWidget* m_window;
    Handlers m_handlers;
    bool m_active = true;
    bool m_pointerWanted = true;
    bool m_everHeld = false;
    bool m_failureReported = false;
    int m_attempts = 0;
    QTimer* m_retry;     // quick attempts while the window comes on screen
    QTimer* m_watchdog;  // keeps the grabs up while they are wanted
};
