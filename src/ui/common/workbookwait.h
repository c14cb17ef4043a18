#pragma once

#include <QElapsedTimer>
#include <QPointer>

#include "data/workbook.h"

class QProgressDialog;

// The wait dialog while a workbook is read in its child process: shown once the read
// takes longer than a moment, with no way to cancel (the time limit ends a read that
// hangs); the program's other windows take no input meanwhile.
class CWorkbookWait : public WorkbookWaitIndicator {
public:
    void Begin(const QString& path) override;
    void Tick() override;
    void End() override;

private:
    QString m_path;
    QElapsedTimer m_elapsed;
    QPointer<QProgressDialog> m_dialog;
};
