#pragma once

#include <Qt>

// Which key events the exam window keeps from the examinee. Two sets apply: the
// lock-down set, swallowed (pressed and released) in every window of the program while
// the exam window lives, so no desktop shortcut can take him out of the exam; and the
// exam window's own set, swallowed on key press, so neither Enter nor Esc closes it and
// spaces go only into the essay box.
namespace keylock {

struct KeyStroke {
    int key = 0;  // Qt::Key
    Qt::KeyboardModifiers modifiers;
    bool press = true;          // false for a release
    bool inExamWindow = false;  // the exam window has the focus
    bool essayHasFocus = false;
};

enum class KeyAction {
    Pass,
    Swallow,
    InsertLineBreak,  // swallow and insert a line break into the essay box
    InsertSpace,      // swallow and insert a space into the essay box
};

KeyAction Decide(const KeyStroke& stroke);

}  // namespace keylock
