#include "datafolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <initializer_list>
#include <utility>

#include "data/adoconn.h"
#include "data/codes.h"
#include "data/formats.h"
#include "data/pgengine.h"
#include "data/profile.h"
#include "data/schema.h"
#include "sitedata.h"

namespace {

struct Question {
    const char* type;
    const char* subject;
    const char* text;
    const char* answer;
    std::initializer_list<const char*> options;
    const char* difficulty;
    const char* group;
    bool withPicture = false;
};

const char* const kSafety = "安全生产";
const char* const kRules = "规章制度";
const char* const kWorkers = "一线员工";
const char* const kManagers = "管理人员";

// The bank: enough 安全生产 questions for 一线员工 to fill the sample paper, and a few
// more of every type for browsing.
const Question kQuestions[] = {
    {"单选题",
     kSafety,
     "发生火灾时，首先应当拨打的电话是",
     "B",
     {"110", "119", "120", "122"},
     "简单",
     kWorkers},
    {"单选题",
     kSafety,
     "进入施工现场必须佩戴的是",
     "A",
     {"安全帽", "耳机", "手套", "口罩"},
     "简单",
     kWorkers},
    {"单选题",
     kSafety,
     "干粉灭火器使用前应先",
     "C",
     {"倒置摇晃", "直接喷射", "拔掉保险销", "打开瓶盖"},
     "简单",
     kWorkers},
    {"单选题",
     kSafety,
     "图中所示安全标志的含义是",
     "D",
     {"禁止吸烟", "当心触电", "注意安全", "必须戴安全帽"},
     "中等",
     kWorkers,
     true},
    {"单选题",
     kSafety,
     "高处作业是指距坠落高度基准面多少米以上的作业",
     "B",
     {"1", "2", "3", "5", "10"},
     "中等",
     kWorkers},
    {"单选题",
     kRules,
     "员工请假一天以内，应由谁批准",
     "A",
     {"班组长", "部门经理", "总经理", "人事专员"},
     "简单",
     kManagers},
    {"判断题",
     kSafety,
     "电气设备着火时可以直接用水扑救。",
     "B",
     {"正确", "错误"},
     "简单",
     kWorkers},
    {"判断题",
     kSafety,
     "安全出口和疏散通道必须保持畅通。",
     "A",
     {"正确", "错误"},
     "简单",
     kWorkers},
    {"判断题",
     kSafety,
     "新员工上岗前必须接受三级安全教育。",
     "A",
     {"正确", "错误"},
     "简单",
     kWorkers},
    {"判断题", kRules, "迟到三次按旷工一天处理。", "A", {"正确", "错误"}, "中等", kManagers},
    {"填空题",
     kSafety,
     "我国安全生产方针是安全第一、【】、综合治理。",
     "预防为主",
     {},
     "简单",
     kWorkers},
    {"填空题",
     kSafety,
     "灭火的基本方法有冷却法、【】、隔离法和【】。",
     "窒息法#抑制法",
     {},
     "中等",
     kWorkers},
    {"填空题",
     kRules,
     "劳动合同期限三个月以上不满一年的，试用期不得超过【】个月。",
     "1",
     {},
     "中等",
     kManagers},
    {"多选题",
     kSafety,
     "下列属于个人防护用品的有",
     "ABD",
     {"安全帽", "防护眼镜", "灭火器", "绝缘手套"},
     "中等",
     kWorkers},
    {"多选题",
     kSafety,
     "发生触电事故时，正确的做法有",
     "AC",
     {"立即切断电源", "直接用手拉开触电者", "用干燥木棒挑开电线", "用湿布包住手去拉"},
     "中等",
     kWorkers},
    {"多选题",
     kRules,
     "员工的基本权利包括",
     "ABCE",
     {"获得劳动报酬", "休息休假", "接受职业培训", "随意旷工", "获得劳动安全保护"},
     "困难",
     kManagers},
    {"问答题",
     kSafety,
     "简述发现火情后的报警与疏散步骤。",
     "立即报警，说明地点和火势；组织人员沿安全通道有序疏散；不乘电梯；清点人数。",
     {},
     "困难",
     kWorkers},
    {"问答题",
     kRules,
     "简述本单位考勤管理的主要规定。",
     "按时上下班，请假须审批，迟到早退按规定处理。",
     {},
     "中等",
     kManagers},
};

struct Examinee {
    const char* name;
    const char* department;
    const char* position;
};

const Examinee kExaminees[] = {
    {"张三", "生产部", "操作工"}, {"李四", "生产部", "班组长"}, {"王五", "技术部", "工程师"},
    {"赵六", "安全部", "安全员"}, {"钱七", "办公室", "文员"},
};

// How many of the examinees above are enrolled in the sample exam.
constexpr int kEnrolled = 4;

const char* const kPaperName = "安全生产基础测试";
const char* const kExamName = "安全生产月度考试";
const char* const kAllSubjectsPaperName = "全员综合测试";
const char* const kMultiSubjectPaperName = "安全与制度综合测试";

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

bool Fail(QString* error, const QString& message) {
    if (error) *error = message;
    return false;
}

// A simple picture for the question that has one: a round sign with a bar.
bool WritePicture(const QString& path) {
    QImage image(240, 180, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0, 90, 170), 10));
    painter.setBrush(QColor(0, 110, 200));
    painter.drawEllipse(QPoint(120, 90), 70, 70);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRect(80, 60, 80, 26), 12, 12);
    painter.drawRect(QRect(100, 86, 40, 50));
    painter.end();
    return image.save(path, "BMP");
}

bool WriteSettings(const QString& file) {
    struct Department {
        const char* name;
        std::initializer_list<const char*> positions;
    };
    const Department departments[] = {
        {"生产部", {"车间主任", "班组长", "操作工"}},
        {"技术部", {"工程师", "技术员"}},
        {"安全部", {"安全员"}},
        {"办公室", {"主任", "文员"}},
    };
    bool ok = true;
    int i = 0;
    for (const Department& d : departments) {
        const QString section = "department" + QString::number(++i);
        ok = ok && profile::WriteString(section, QStringLiteral("name"), Text(d.name), file);
        int j = 0;
        for (const char* position : d.positions)
            ok = ok &&
                 profile::WriteString(section, "job" + QString::number(++j), Text(position), file);
        ok =
            ok && profile::WriteString(section, QStringLiteral("number"), QString::number(j), file);
    }
    ok = ok && profile::WriteString("INFO", QStringLiteral("Count"), QString::number(i), file);
    const char* groups[] = {kManagers, "技术人员", kWorkers, "新入职员工"};
    for (int g = 0; g < 4; ++g)
        ok = ok &&
             profile::WriteString("object", "name" + QString::number(g + 1), Text(groups[g]), file);
    return ok;
}

void StorePaper(CADOConn& conn, const QString& table, const codes::PaperColumns& paper,
                const char* mode) {
    auto rs = conn.OpenRecordset("select * from " + table, schema::kQuestionsFile);
    rs->AddNew();
    rs->PutCollect("名称", paper.name);
    rs->PutCollect("科目", paper.subject);
    rs->PutCollect("单选题", paper.single);
    rs->PutCollect("判断题", paper.judge);
    rs->PutCollect("填空题", paper.fill);
    rs->PutCollect("多选题", paper.multiple);
    rs->PutCollect("问答题", paper.essay);
    rs->PutCollect("总题数", paper.total);
    rs->PutCollect("满分", paper.fullMarks);
    rs->PutCollect("创建时间", paper.created);
    rs->PutCollect("科目选项", Text(mode));
    rs->PutCollect("保存码", codes::PaperCode(paper));
    rs->Update();
}

bool FillQuestions(CADOConn& conn, const QString& pictureFolder) {
    const QString file = schema::kQuestionsFile;
    CTransaction transaction(conn);
    for (const char* subject : {kSafety, kRules}) {
        auto rs = conn.OpenRecordset("select * from Subject", file);
        rs->AddNew();
        rs->PutCollect("科目", Text(subject));
        rs->Update();
    }
    const QStringList letters = {"A", "B", "C", "D", "E"};
    for (const Question& q : kQuestions) {
        const QString type = Text(q.type);
        auto rs = conn.OpenRecordset("select * from " + type, file);
        rs->AddNew();
        rs->PutCollect("科目", Text(q.subject));
        rs->PutCollect("题型", type);
        rs->PutCollect("题干", Text(q.text));
        rs->PutCollect("答案", Text(q.answer));
        int o = 0;
        for (const char* option : q.options) rs->PutCollect(letters[o++], Text(option));
        rs->PutCollect("难度", Text(q.difficulty));
        rs->PutCollect("对象", Text(q.group));
        rs->Update();
        if (q.withPicture) {
            const QString name = type + rs->GetText("ID");
            rs->PutCollect("图片", name);
            rs->Update();
            if (!WritePicture(QDir(pictureFolder).filePath(name + ".bmp"))) return false;
        }
    }

    // The sample paper draws only 安全生产 questions for 一线员工.
    const QString workers = Text(kWorkers), managers = Text(kManagers);
    codes::PaperColumns paper;
    paper.name = Text(kPaperName);
    paper.single = "每题2.0分。" + workers + ":简单=3,中等=1,;";
    paper.judge = "每题1.0分。" + workers + ":简单=3,;";
    paper.fill = "每题2.0分。" + workers + ":简单=1,中等=1,;";
    paper.multiple = "每题3.0分。" + workers + ":中等=2,;";
    paper.essay = "每题10.0分。" + workers + ":困难=1,;";
    paper.subject = Text(kSafety);
    paper.total = QStringLiteral("12");
    paper.fullMarks = QStringLiteral("31.0");
    paper.created = FormatCreationTime(QDateTime::currentDateTime());
    StorePaper(conn, "exampaper", paper, "单科");

    // An all-subjects paper: both groups' questions, whatever their subject.
    paper.name = Text(kAllSubjectsPaperName);
    paper.single = "每题2.0分。" + workers + ":简单=2,中等=1,;" + managers + ":简单=1,;";
    paper.judge = "每题1.0分。" + workers + ":简单=2,;" + managers + ":中等=1,;";
    paper.fill = "每题2.0分。" + managers + ":中等=1,;";
    paper.multiple = "每题3.0分。" + workers + ":中等=1,;" + managers + ":困难=1,;";
    paper.essay = QStringLiteral("空");
    paper.subject = QStringLiteral("无");
    paper.total = QStringLiteral("10");
    paper.fullMarks = QStringLiteral("19.0");
    StorePaper(conn, "exampaper", paper, "全科");

    // A multi-subject paper: one testpaper row per subject and the summary row.
    paper.name = Text(kMultiSubjectPaperName);
    paper.single = "每题2.0分。" + workers + ":简单=2,;";
    paper.judge = "每题1.0分。" + workers + ":简单=2,;";
    paper.fill = QStringLiteral("空");
    paper.multiple = "每题3.0分。" + workers + ":中等=1,;";
    paper.essay = "每题10.0分。" + workers + ":困难=1,;";
    paper.subject = Text(kSafety);
    paper.total = QStringLiteral("6");
    paper.fullMarks = QStringLiteral("19.0");
    StorePaper(conn, "testpaper", paper, "多科");
    paper.single = "每题2.0分。" + managers + ":简单=1,;";
    paper.judge = "每题1.0分。" + managers + ":中等=1,;";
    paper.fill = "每题2.0分。" + managers + ":中等=1,;";
    paper.multiple = QStringLiteral("空");
    paper.essay = "每题10.0分。" + managers + ":中等=1,;";
    paper.subject = Text(kRules);
    paper.total = QStringLiteral("4");
    paper.fullMarks = QStringLiteral("15.0");
    StorePaper(conn, "testpaper", paper, "多科");
    paper.single = QStringLiteral("单选题包含2个科目");
    paper.judge = QStringLiteral("判断题包含2个科目");
    paper.fill = QStringLiteral("填空题包含1个科目");
    paper.multiple = QStringLiteral("多选题包含1个科目");
    paper.essay = QStringLiteral("问答题包含2个科目");
    paper.subject = QStringLiteral("不定");
    paper.total = QStringLiteral("10");
    paper.fullMarks = QStringLiteral("34.0");
    StorePaper(conn, "exampaper", paper, "多科");
    transaction.Commit();
    return true;
}

bool FillPersonnel(CADOConn& conn, const QDateTime& now, bool withSamples) {
    const QString file = schema::kPersonnelFile;
    CTransaction transaction(conn);
    auto pass = conn.OpenRecordset("select * from LastPass", file);
    const auto admin = codes::DigestPassword(codes::Account::SystemAdmin,
                                             codes::InitialPassword(codes::Account::SystemAdmin));
    const auto manager = codes::DigestPassword(codes::Account::ExamAdmin,
                                               codes::InitialPassword(codes::Account::ExamAdmin));
    for (auto pair : {std::make_pair(admin.plain, manager.plain),
                      std::make_pair(admin.salted1, manager.salted1),
                      std::make_pair(admin.salted2, manager.salted2)}) {
        pass->AddNew();
        pass->PutCollect(codes::PasswordColumn(codes::Account::SystemAdmin), pair.first);
        pass->PutCollect(codes::PasswordColumn(codes::Account::ExamAdmin), pair.second);
        pass->Update();
    }
    if (!withSamples) {
        transaction.Commit();
        return true;
    }

    auto examinees = conn.OpenRecordset("select * from examinee", file);
    for (const Examinee& e : kExaminees) {
        examinees->AddNew();
        examinees->PutCollect("姓名", Text(e.name));
        examinees->PutCollect("部门", Text(e.department));
        examinees->PutCollect("职务", Text(e.position));
        examinees->Update();
    }

    const QString start = FormatExamTime(now.addSecs(-3600));
    const QString end = FormatExamTime(now.addDays(7));
    const QString passMark = QStringLiteral("19");
    auto exam = conn.OpenRecordset("select * from ExamArrange", file);
    exam->AddNew();
    exam->PutCollect("考试名称", Text(kExamName));
    exam->PutCollect("试卷名称", Text(kPaperName));
    exam->PutCollect("开始时间", start);
    exam->PutCollect("结束时间", end);
    exam->PutCollect("考试时限", QStringLiteral("60"));
    exam->PutCollect("合格分数", passMark);
    exam->PutCollect("保存码", codes::ExamCode(Text(kExamName), start, end, passMark, QString()));
    exam->Update();
    const QString examNo = exam->GetText("考试号");

    auto registers = conn.OpenRecordset("select * from ExamRegister", file);
    for (int i = 0; i < kEnrolled; ++i) {
        const Examinee& e = kExaminees[i];
        registers->AddNew();
        registers->PutCollect("姓名", Text(e.name));
        registers->PutCollect("部门", Text(e.department));
        registers->PutCollect("职务", Text(e.position));
        registers->PutCollect("考试号", examNo);
        registers->PutCollect("合格分数", passMark);
        registers->PutCollect("保存码", codes::EnrolmentCode(Text(e.name), Text(e.department),
                                                             Text(e.position), examNo, passMark));
        registers->Update();
    }

    const codes::Counters counters = codes::CountersFor(kEnrolled);
    auto join = conn.OpenRecordset("select * from JoinExam", file);
    join->AddNew();
    join->PutCollect("考试号", examNo.toLongLong());
    join->PutCollect("考生质量", counters.quality);
    join->PutCollect("考生数量", counters.quantity);
    join->Update();
    transaction.Commit();
    return true;
}

}  // namespace

bool HoldsSiteData(const QString& folder) {
    const QDir dir(folder);
    return (QFile::exists(dir.filePath(schema::kQuestionsFile)) &&
            QFile::exists(dir.filePath(schema::kPersonnelFile))) ||
           !store::ServerUrl(dir.filePath(schema::kPersonnelFile)).isEmpty();
}

bool CreateDataFolder(const QString& directory, const QDateTime& now, QString* error) {
    return CreateSiteData(directory, now, {}, error);
}

bool CreateSiteData(const QString& directory, const QDateTime& now,
                    const DataFolderOptions& options, QString* error) {
    QDir dir(directory);
    if (!dir.exists() && !QDir().mkpath(directory))
        return Fail(error, "cannot create the folder " + directory);
    for (const QString& name : {schema::kQuestionsFile, schema::kPersonnelFile}) {
        if (QFile::exists(dir.filePath(name)))
            return Fail(error, dir.filePath(name) + " exists already; nothing was changed");
    }
    if (!options.serverUrl.isEmpty()) {
        for (const QString& name : {schema::kQuestionsFile, schema::kPersonnelFile}) {
            QString ignored;
            if (PgDatabase::Connect(options.serverUrl, store::SchemaName(name), &ignored))
                return Fail(error, "the server holds " + store::SchemaName(name) +
                                       " already; nothing was changed");
        }
        if (!profile::WriteString("database", QString("url"), options.serverUrl,
                                  dir.filePath("vemoconf.ini")))
            return Fail(error, "cannot write " + dir.filePath("vemoconf.ini"));
    }
    const QString pictures = dir.filePath("QuestionMap");
    if (!QDir().mkpath(pictures)) return Fail(error, "cannot create " + pictures);

    for (const QString& name : {schema::kQuestionsFile, schema::kPersonnelFile}) {
        const QString path = dir.filePath(name);
        QString reason;
        CADOConn conn;
        try {
            if (!CADOConn::CreateDatabaseFile(path, &reason))
                return Fail(error, "cannot create " + path + ": " + reason);
            conn.OpenDatabase(path);
            if (!schema::CreatePermanentTables(conn, path))
                return Fail(error, "cannot create the indexes of " + path);
        } catch (const DatabaseError& e) {
            return Fail(error, "cannot create " + path + ": " + QString::fromUtf8(e.what()));
        }
        try {
            const bool filled = name == schema::kQuestionsFile
                                    ? !options.withSamples || FillQuestions(conn, pictures)
                                    : FillPersonnel(conn, now, options.withSamples);
            if (!filled) return Fail(error, "cannot fill " + path);
        } catch (const DatabaseError& e) {
            return Fail(error, "cannot fill " + path + ": " + QString::fromUtf8(e.what()));
        }
    }
    if (!WriteSettings(dir.filePath("vemoconf.ini")))
        return Fail(error, "cannot write " + dir.filePath("vemoconf.ini"));
    // The templates; a copy out of the resources is read-only, the user may edit it.
    for (const char* name : {"examinee.xls", "questions.xls", "wordtest.docx"}) {
        const QString copy = dir.filePath(name);
        if (!QFile::exists(copy) &&
            !(QFile::copy(":/templates/" + Text(name), copy) &&
              QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup)))
            return Fail(error, "cannot write " + copy);
    }
    return true;
}

namespace {

void CopyTable(CADOConn& from, const QString& fromFile, CADOConn& to, const QString& toFile,
               const QString& create) {
    static const QRegularExpression parts(
        QStringLiteral("^create table ([^(\\s]+)\\((?:([^,\\s]+) AUTOINCREMENT PRIMARY KEY)?"));
    const auto match = parts.match(create);
    const QString table = match.captured(1);
    const RecordsetPtr rows = from.OpenRecordset("select * from " + table, fromFile);
    const QStringList columns = rows->Columns();
    const QString insert = "insert into " + table + "(" + columns.join(',') + ") values(" +
                           QStringList(columns.size(), "?").join(',') + ")";
    for (; !rows->IsEOF(); rows->MoveNext()) {
        QVariantList values;
        for (const QString& column : columns) values << rows->GetCollect(column);
        to.ExecuteStatement(insert, toFile, values);
    }
    const QString key = match.captured(2);
    if (key.isEmpty()) return;
    // The identity goes on after the copied keys.
    to.ExecuteStatement("select setval(pg_get_serial_sequence(?,?),coalesce(max(" + key +
                            "),0)+1,false) from " + table,
                        toFile, {table.toLower(), key.toLower()});
}

bool CopyFolderFiles(const QString& from, const QString& to, const QStringList& except = {}) {
    const QDir source(from);
    for (const QFileInfo& entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (except.contains(entry.fileName())) continue;
        const QString target = QDir(to).filePath(entry.fileName());
        if (entry.isDir()) {
            if (!QDir().mkpath(target) || !CopyFolderFiles(entry.filePath(), target)) return false;
        } else if (!QFile::exists(target)) {
            // A copy keeps the source's mode; others get no access to it all the same.
            if (!QFile::copy(entry.filePath(), target) ||
                !QFile::setPermissions(target, QFile::permissions(target) &
                                                   ~(QFile::ReadOther | QFile::WriteOther |
                                                     QFile::ExeOther)))
                return false;
        }
    }
    return true;
}

}  // namespace

bool CopyDataFolderToServer(const QString& source, const QString& directory,
                            const QString& serverUrl, QString* error) {
    const QDir from(source);
    for (const QString& name : {schema::kQuestionsFile, schema::kPersonnelFile}) {
        if (!QFile::exists(from.filePath(name)))
            return Fail(error, from.filePath(name) + " does not exist");
        if (!store::ServerUrl(from.filePath(name)).isEmpty())
            return Fail(error, source + " names a server already; copy a folder of data files");
        QString ignored;
        if (PgDatabase::Connect(serverUrl, store::SchemaName(name), &ignored))
            return Fail(error, "the server holds " + store::SchemaName(name) +
                                   " already; nothing was changed");
    }
    const QDir dir(directory);
    if (!QDir().mkpath(directory)) return Fail(error, "cannot create the folder " + directory);
    // Settings, pictures and templates; the data files stay behind.
    if (!CopyFolderFiles(source, directory, {schema::kQuestionsFile, schema::kPersonnelFile}))
        return Fail(error, "cannot copy the files of " + source);
    QFile::setPermissions(dir.filePath("vemoconf.ini"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    if (!profile::WriteString("database", QString("url"), serverUrl, dir.filePath("vemoconf.ini")))
        return Fail(error, "cannot write " + dir.filePath("vemoconf.ini"));

    for (const QString& name : {schema::kQuestionsFile, schema::kPersonnelFile}) {
        const QString target = dir.filePath(name);
        QString reason;
        CADOConn fromConn, toConn;
        try {
            if (!CADOConn::CreateDatabaseFile(target, &reason))
                return Fail(error, "cannot create " + name + " on the server: " + reason);
            toConn.OpenDatabase(target);
            if (!schema::CreatePermanentTables(toConn, target))
                return Fail(error, "cannot create the indexes of " + name + " on the server");
        } catch (const DatabaseError& e) {
            return Fail(error, "cannot create " + name +
                                   " on the server: " + QString::fromUtf8(e.what()));
        }
        try {
            CTransaction transaction(toConn);
            const QStringList tables = name == schema::kQuestionsFile ? schema::QuestionsTables()
                                                                      : schema::PersonnelTables();
            for (const QString& create : tables)
                CopyTable(fromConn, from.filePath(name), toConn, target, create);
            transaction.Commit();
        } catch (const DatabaseError& e) {
            return Fail(error, "cannot store " + name + ": " + QString::fromUtf8(e.what()));
        }
    }
    return true;
}
