#pragma once

#include <QDialog>
#include <optional>

#include "data/workbook.h"

// The prompt before an examinee workbook is imported. It ends accepted once the rows
// were stored, rejected when it was left or the workbook refused.
class CImportExaminee : public QDialog {
    Q_OBJECT
public:
    explicit CImportExaminee(const QString& workbookPath, QWidget* parent = nullptr);

private:
    void Import();

    std::optional<Workbook> m_workbook;
    QString m_readError;
};
