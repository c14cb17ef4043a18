#include "ui/exams/importexaminee.h"

#include <QLabel>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "rules/examineeimport.h"

CImportExaminee::CImportExaminee(const QString& workbookPath, QWidget* parent) : QDialog(parent) {
    m_workbook = ReadWorkbook(workbookPath, &m_readError);
    setWindowTitle(QStringLiteral("Vemo—导入考生提示"));
    setFixedSize(360, 230);
    InstallScreenKeyFilter(this);

    const char* const lines[] = {
        "注意：",
        "1、examinee.xls必须要有按模板要求填写，",
        "并且Excel表不能存在空行。",
        "2、考生数量大时，可能需要几分钟，请稍等。",
        "确定要导入考生吗？",
    };
    int y = 16;
    for (const char* line : lines) {
        auto* label = new QLabel(QString::fromUtf8(line), this);
        label->setGeometry(30, y, 310, 22);
        y += 28;
    }
    auto* confirm = new QPushButton(QStringLiteral("确定"), this);
    confirm->setObjectName(QStringLiteral("confirm"));
    confirm->setGeometry(70, 178, 90, 30);
    confirm->setAutoDefault(false);
    auto* exit = new QPushButton(QStringLiteral("退出"), this);
    exit->setObjectName(QStringLiteral("exit"));
    exit->setGeometry(200, 178, 90, 30);
    exit->setAutoDefault(false);
    connect(confirm, &QPushButton::clicked, this, &CImportExaminee::Import);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

void CImportExaminee::Import() {
    QString problem = m_readError;
    const Worksheet* sheet =
        m_workbook ? m_workbook->Sheet(examinee_import::SheetName(), &problem) : nullptr;
    if (!sheet) {
        msgbox::Prompt(this, problem);
        reject();
        return;
    }
    const examinee_import::Plan plan = examinee_import::PlanImport(*sheet);
    if (!plan.refusal.isEmpty()) {
        msgbox::Prompt(this, plan.refusal);
        reject();
        return;
    }
    const examinee_import::Outcome outcome = examinee_import::StoreExaminees(plan.rows);
    if (!outcome.stored) {
        msgbox::Prompt(this,
                       QStringLiteral("导入失败，没有保存任何考生数据！\n%1").arg(outcome.error));
        reject();
        return;
    }
    msgbox::Prompt(this, examinee_import::OutcomeMessage(outcome));
    accept();
}
