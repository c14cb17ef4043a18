#include "ui/bank/examinandout.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

#include "app/keyfilter.h"
#include "app/messagebox.h"
#include "data/questiontype.h"
#include "rules/bankclearing.h"
#include "rules/questionimport.h"
#include "ui/common/controls.h"

CExamInandout::CExamInandout(const QString& mode, const QString& workbookPath, QWidget* parent)
    : QDialog(parent), m_workbookPath(workbookPath) {
    const bool importing = mode == QStringLiteral("导入");
    setWindowTitle(QStringLiteral("Vemo—题库导入或删除"));
    setFixedSize(400, 330);
    InstallScreenKeyFilter(this);

    m_type = controls::DropDownList(this, QRect(130, 20, 150, 28), "type");
    m_type->addItems(qtype::Names());
    m_type->setCurrentIndex(-1);
    controls::Label(this, QStringLiteral("题型选择"), QRect(40, 20, 85, 28), m_type);

    auto* prompt = new QLabel(this);
    prompt->setObjectName(QStringLiteral("prompt"));
    prompt->setGeometry(30, 60, 340, 200);
    prompt->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    prompt->setText(importing ? question_import::Prompt()
                              : QStringLiteral("\n\n    您确定要删除系统保存的相关题型的题库码?"
                                               "\n\n一旦删除将无法恢复！"));

    auto* confirm = controls::Button(this, QStringLiteral("确定"), QRect(80, 275, 90, 32),
                                     importing ? "importConfirm" : "clearConfirm");
    auto* exit = controls::Button(this, QStringLiteral("退出"), QRect(230, 275, 90, 32), "exit");
    if (importing)
        connect(confirm, &QPushButton::clicked, this, &CExamInandout::Import);
    else
        connect(confirm, &QPushButton::clicked, this, &CExamInandout::Clear);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
}

QString CExamInandout::ChosenType() {
    const QString type = m_type->currentIndex() < 0 ? QString() : m_type->currentText();
    if (type.isEmpty()) msgbox::Prompt(this, QStringLiteral("请选择题型！"), msgbox::RemindTitle());
    return type;
}

const Workbook* CExamInandout::LoadWorkbook(QString* error) {
    if (!m_workbook) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_workbook = ReadWorkbook(m_workbookPath, error);
        QApplication::restoreOverrideCursor();
    }
    return m_workbook ? &*m_workbook : nullptr;
}

void CExamInandout::Import() {
    const QString type = ChosenType();
    if (type.isEmpty()) return;
    QString problem;
    const Workbook* workbook = LoadWorkbook(&problem);
    if (!workbook) {
        msgbox::Prompt(this, problem);
        reject();
        return;
    }
    // Without the sheet of this type another type may still be imported.
    const Worksheet* sheet = workbook->Sheet(type, &problem);
    if (!sheet) {
        msgbox::Prompt(this, problem);
        return;
    }
    const question_import::Plan plan = question_import::PlanImport(*sheet, type);
    if (!plan.refusal.isEmpty()) {
        msgbox::Prompt(this, plan.refusal);
        reject();
        return;
    }

    // Shown only when storing lasts longer than a second.
    const int steps = int(plan.rows.size()) + 1;
    QProgressDialog progress(QStringLiteral("正在导入%1，请稍等……").arg(type), QString(), 0, steps,
                             this);
    progress.setWindowTitle(msgbox::PromptTitle());
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(1000);
    const question_import::Outcome outcome = question_import::StoreQuestions(
        type, plan.rows, [&progress](int stored) { progress.setValue(stored); });
    progress.setValue(steps);
    if (!outcome.stored) {
        msgbox::Prompt(this, QStringLiteral("导入失败，没有保存任何题目！\n%1").arg(outcome.error));
        reject();
        return;
    }
    msgbox::Prompt(this, question_import::OutcomeMessage(outcome));
    accept();
}

void CExamInandout::Clear() {
    const QString type = ChosenType();
    if (type.isEmpty()) return;
    const bank_clearing::Outcome outcome = bank_clearing::ClearBank(type);
    if (outcome.wasEmpty) {
        msgbox::Prompt(this, bank_clearing::EmptyMessage(type));
        return;
    }
    if (!outcome.cleared) {
        msgbox::Prompt(this,
                       QStringLiteral("%1题库删除失败，题目都还在！\n%2").arg(type, outcome.error));
        reject();
        return;
    }
    msgbox::Prompt(this, bank_clearing::ClearedMessage(type));
    accept();
}
