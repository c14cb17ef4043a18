#pragma once

class QWidget;

// Holds the whole keyboard for one window, so that no key reaches the desktop (task
// switching, the Super key, window-manager shortcuts) while an exam runs. On X11 this is
// an active keyboard grab; elsewhere (Wayland, headless, a build without X11) there is
// no such lock and Acquire fails.
class KeyboardLock {
public:
    KeyboardLock() = default;
    ~KeyboardLock() { Release(); }
    KeyboardLock(const KeyboardLock&) = delete;
    KeyboardLock& operator=(const KeyboardLock&) = delete;

    // Whether this platform can lock the keyboard at all.
    static bool Supported();
    // Grabs the keyboard for the shown window; false when the desktop refuses (the window
    // is not yet on screen, or another program holds a grab).
    bool Acquire(QWidget* window);
    void Release();
    bool Held() const { return m_held; }

private:
    bool m_held = false;
};
