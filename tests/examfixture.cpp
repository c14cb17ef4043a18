#include "examfixture.h"

#include <QDir>
#include <QImage>

#include "data/adoconn.h"
#include "data/schema.h"

QVector<DrawnQuestion> SamplePaper() {
    return {
        {"单选题",
         "电气设备着火时应首先？",
         "B",
         "2",
         {"泼水", "切断电源", "离开现场", "报告班长"},
         "单选题901"},
        {"单选题",
         "安全色中表示禁止的是？",
         "E",
         "2",
         {"蓝色", "黄色", "绿色", "白色", "红色"},
         ""},
        {"判断题", "进入车间必须佩戴安全帽。", "A", "1", {"正确", "错误"}, ""},
        {"填空题", "我国安全电压一般不超过【】伏。", "36", "2", {}, ""},
        {"填空题", "灭火器【  】检查一次，压力表指针应在【  】区。", "每月#绿", "4", {}, ""},
        {"多选题",
         "属于个人防护用品的有？",
         "ACD",
         "3",
         {"安全帽", "灭火器", "防护眼镜", "绝缘手套"},
         ""},
        {"问答题", "简述发生火灾时的报警步骤。", "拨打119，说明地点和火情。", "10", {}, ""},
    };
}

QString DrawIntoExamTable(const QVector<DrawnQuestion>& questions) {
    const QString file = schema::kPersonnelFile;
    CADOConn conn;
    conn.OpenDatabase(file);
    schema::RecreateScratchTable(conn, file, schema::kCreateExam, schema::kDropExam);
    QDir().mkpath("QuestionMap");
    QString key;
    int number = 0;
    for (const DrawnQuestion& q : questions) {
        QVariantList values{++number, "安全生产",
                            q.type,   q.stem,
                            q.points, q.picture.isEmpty() ? QVariant() : QVariant(q.picture)};
        for (int i = 0; i < 5; ++i)
            values << (i < q.options.size() ? QVariant(q.options[i]) : QVariant());
        conn.ExecuteStatement(
            "insert into exam(编号,科目,题型,题干,分值,图片,A,B,C,D,E) "
            "values(?,?,?,?,?,?,?,?,?,?,?)",
            file, values);
        if (!q.picture.isEmpty()) {
            QImage picture(120, 80, QImage::Format_RGB32);
            picture.fill(Qt::darkCyan);
            picture.save("QuestionMap/" + q.picture + ".bmp", "BMP");
        }
        key += q.reference + "|";
    }
    return key;
}

ExamTicket TicketFor(const QString& answerKey, const QString& timeLimit) {
    CADOConn conn;
    auto rs = conn.OpenRecordset("select * from ExamRegister", schema::kPersonnelFile);
    ExamTicket ticket;
    ticket.answerKey = answerKey;
    ticket.examName = QStringLiteral("安全生产月度考试");
    ticket.timeLimit = timeLimit;
    ticket.registrationId = rs->GetText("ID");
    ticket.passMark = rs->GetText("合格分数").toInt();
    return ticket;
}

QVariant StoredAnswer(int number) {
    CADOConn conn;
    auto rs =
        conn.OpenRecordset("select * from exam where 编号=?", schema::kPersonnelFile, {number});
    return rs->GetCollect("答题");
}

bool ExamTableExists() {
    return CADOConn().ExecuteIfPossible("select * from exam", schema::kPersonnelFile);
}
