#include "ui/common/readedit.h"

CReadEdit::CReadEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setMouseTracking(true);
}

void CReadEdit::leaveEvent(QEvent* event) {
    QPlainTextEdit::leaveEvent(event);
    hide();
}
