#include "rules/keylock.h"

namespace keylock {
namespace {

// System keys of the desktop: the Windows (Super) keys, task switching, the start menu
// (Ctrl/Alt+Esc), window cycling (Alt+`), closing (Alt+F4) and Ctrl+Alt+Delete.
bool LockedDown(int key, Qt::KeyboardModifiers mods) {
    const bool alt = mods & Qt::AltModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    switch (key) {
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Meta:
            return true;
        case Qt::Key_Escape:
            return ctrl || alt;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_QuoteLeft:
        case Qt::Key_F4:
            return alt;
        case Qt::Key_Delete:
            return ctrl && alt;
        case Qt::Key_Period:  // the numeric pad's decimal key
        case Qt::Key_Comma:
            return ctrl && alt && (mods & Qt::KeypadModifier);
        default:
            return false;
    }
}

}  // namespace

KeyAction Decide(const KeyStroke& s) {
    if (LockedDown(s.key, s.modifiers)) return KeyAction::Swallow;
    if (!s.press || !s.inExamWindow) return KeyAction::Pass;
    switch (s.key) {
        case Qt::Key_Escape:
            return KeyAction::Swallow;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return s.essayHasFocus ? KeyAction::InsertLineBreak : KeyAction::Swallow;
        case Qt::Key_Space:
            return s.essayHasFocus ? KeyAction::InsertSpace : KeyAction::Swallow;
        default:
            return KeyAction::Pass;
    }
}

}  // namespace keylock
