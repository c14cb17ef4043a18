#pragma once

#include <QDialog>

#include "data/codes.h"

class QLineEdit;
class QGroupBox;

// The system administrator's home screen: both administrator passwords and the way to
// the question bank, papers, exams and settings.
class CAdmin : public QDialog {
    Q_OBJECT
public:
    explicit CAdmin(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct AccountFields {
        codes::Account account;
        QLineEdit* oldPassword;
        QLineEdit* newPassword;
    };

    QGroupBox* AddAccountGroup(const QString& title, const QRect& geometry, AccountFields& fields,
                               const QString& objectPrefix);
    void ChangePassword(const AccountFields& fields);
    void RestorePassword(const AccountFields& fields);

    AccountFields m_system;  // 1037 / 1034
    AccountFields m_exam;    // 1040 / 1043
};
