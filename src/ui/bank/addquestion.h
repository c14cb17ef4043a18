#pragma once

#include <QDialog>
#include <QList>
#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class CShowMap;

// Manual entry of one question of any type, optionally with a picture. It stays open
// after each question so that several can be entered in a row.
class CAddQuestion : public QDialog {
    Q_OBJECT
public:
    explicit CAddQuestion(QWidget* parent = nullptr);
    ~CAddQuestion() override;

    // The open picture preview, or null.
    CShowMap* Preview() const { return m_preview.get(); }

private:
    void BuildControls();
    void ShowLayoutOf(const QString& type);
    void ChoosePicture();
    void Add();
    void Clear();

    QComboBox* m_subject;    // 1219
    QComboBox* m_type;       // 1218
    QPlainTextEdit* m_stem;  // 1082
    QList<QLabel*> m_optionLabels;
    QList<QLineEdit*> m_options;  // 1061, 1272–1275
    QLabel* m_answerLabel;        // 1057
    QPlainTextEdit* m_answer;     // 1276
    QLabel* m_otherAnswerLabel;   // 1049
    QComboBox* m_trueFalse;       // 1217
    QLabel* m_trueFalseHint;      // 1278
    QComboBox* m_difficulty;      // 1216
    QComboBox* m_group;           // 1231

    QString m_picturePath;
    std::unique_ptr<CShowMap> m_preview;
};
