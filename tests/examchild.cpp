// A station taking a 50-question exam through the exam session, for the kill test: draws
// the paper of the registration it is given, prints the drawn questions' bank IDs, then
// stores an answer with the time used after another, printing each once it is stored, and
// waits to be killed.
#include "examchild.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <cstdio>
#include <random>
#include <thread>

#include "data/adoconn.h"
#include "data/schema.h"
#include "rules/answers.h"
#include "rules/assembly.h"
#include "rules/examsession.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || !QDir::setCurrent(args[1])) return 2;
    const QString registrationId = args[2];
    std::mt19937 random(args[3].toUInt());
    {
        CADOConn conn;
        schema::RecreateScratchTable(conn, schema::kPersonnelFile, schema::kCreateInterim,
                                     schema::kDropInterim);
        schema::RecreateScratchTable(conn, schema::kPersonnelFile, schema::kCreateExam,
                                     schema::kDropExam);
    }
    assembly::MersenneRandom draw(args[3].toULongLong());
    const auto drawn = assembly::AssemblePaper("单科", examchild::kPaper, draw, registrationId);
    if (drawn.outcome != assembly::Outcome::Assembled) return 3;
    QString ids;
    {
        CADOConn conn;
        conn.ForEachRow("select 题目编号 from exam order by 编号", schema::kPersonnelFile, {},
                        [&ids](const CRowReader& row) { ids += row.Text(0) + ' '; });
    }
    std::printf("drawn %s\n", qPrintable(ids));
    std::fflush(stdout);

    ExamSession session({drawn.answerKey, QStringLiteral("断电考试"), "60", registrationId, 60});
    const auto counts = session.Open();
    int total = 0;
    for (int count : counts) total += count;
    int timeUsed = 0;
    for (int n = 1; n <= total; ++n) {
        timeUsed += int(random() % examchild::kMostSecondsPerQuestion) + 1;
        session.StoreAnswer(n, examchild::AnswerOf(n, session.Type(n)), timeUsed);
        std::printf("stored %d %d\n", n, timeUsed);
        std::fflush(stdout);
    }
    std::printf("done\n");
    std::fflush(stdout);
    for (;;) std::this_thread::sleep_for(std::chrono::seconds(1));
}
