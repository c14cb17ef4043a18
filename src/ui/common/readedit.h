#pragma once

#include <QPlainTextEdit>

// A read-only cell viewer that pops up over a list and hides itself as soon as the
// mouse leaves it.
class CReadEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CReadEdit(QWidget* parent = nullptr);

protected:
    void leaveEvent(QEvent* event) override;
};
