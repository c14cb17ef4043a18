#pragma once

#include <QDialog>

#include "app/screens.h"
#include "data/codes.h"

class QLineEdit;
class CPictureButton;

// The first screen: sign-in of the two administrators and the examinee's way in.
class CLogin : public QDialog {
    Q_OBJECT
public:
    explicit CLogin(QWidget* parent = nullptr);

    QLineEdit* ManagerUserEdit() const { return m_managerUser; }
    QLineEdit* ManagerPasswordEdit() const { return m_managerPassword; }
    QLineEdit* AdminUserEdit() const { return m_adminUser; }
    QLineEdit* AdminPasswordEdit() const { return m_adminPassword; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Signs an administrator in with the account's fields; on success the account's
    // home screen replaces this one.
    void SignIn(codes::Account account, QLineEdit* user, QLineEdit* password, screens::Id target);
    // Checks the exam data before an examinee may choose an exam.
    void ExamineeEntry();

    QLineEdit* AddEdit(const QRect& geometry, const QString& accessibleName,
                       const QString& objectName);
    CPictureButton* AddButton(const QString& picture, const QString& name, const QPoint& at,
                              const QString& objectName);

    QLineEdit* m_managerUser;      // 1284
    QLineEdit* m_managerPassword;  // 1286
    QLineEdit* m_adminUser;        // 1288
    QLineEdit* m_adminPassword;    // 1290
};
