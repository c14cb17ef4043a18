#pragma once

#include <QDialog>
#include <optional>

#include "data/workbook.h"

class QComboBox;

// Imports the questions of one type from questions.xls (mode "导入") or empties the bank
// of one type (mode "删除"). It ends accepted when the bank changed, so the browser that
// opened it empties its list.
class CExamInandout : public QDialog {
    Q_OBJECT
public:
    CExamInandout(const QString& mode, const QString& workbookPath, QWidget* parent = nullptr);

private:
    // The chosen type, or empty after telling the user to choose one.
    QString ChosenType();
    void Import();
    void Clear();
    const Workbook* LoadWorkbook(QString* error);

    QString m_workbookPath;
    std::optional<Workbook> m_workbook;
    QComboBox* m_type;  // 1336
};
