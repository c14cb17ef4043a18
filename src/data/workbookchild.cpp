#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>

#include "data/workbook.h"

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// Marks the start of a reply, so that stray output of a broken child is not taken for one.
constexpr quint32 kReplyMagic = 0x56574231;  // "VWB1"
// The reply goes to a file and is read from there cell by cell, so that the program holds
// the workbook once and no reply buffer besides. A reply larger than this, or with more
// cells, is not read: the rows could not be imported anyway, and the workbook in memory
// stays within about 250 MB.
constexpr qint64 kMaxReplyBytes = qint64(96) << 20;
constexpr qint64 kMaxReplyCells = 1'000'000;
constexpr int kTickMs = 50;

QString& ReaderProgram() {
    static QString program;
    return program;
}

WorkbookWaitIndicator*& WaitIndicator() {
    static WorkbookWaitIndicator* indicator = nullptr;
    return indicator;
}

QString DefaultReaderProgram() {
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    else
        folder =
            QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
#ifdef Q_OS_WIN
    return folder + QStringLiteral("/vemo-workbook-reader.exe");
#else
    // Beside the program in the build tree; installed, in <prefix>/lib/vemo.
    const QString beside = folder + QStringLiteral("/vemo-workbook-reader");
    const QString installed = folder + QStringLiteral("/../lib/vemo/vemo-workbook-reader");
    return QFileInfo::exists(beside) || !QFileInfo::exists(installed) ? beside
                                                                      : QDir::cleanPath(installed);
#endif
}

QByteArray EncodeReply(const std::optional<Workbook>& workbook, const QString& error) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << kReplyMagic << bool(workbook) << error;
    if (!workbook) return bytes;
    out << quint32(workbook->sheets.size());
    for (const Worksheet& sheet : workbook->sheets) {
        out << sheet.name << sheet.header << quint32(sheet.rows.size());
        for (const WorksheetRow& row : sheet.rows) out << qint32(row.number) << row.cells;
    }
    return bytes;
}

// nullopt with `error` set for a reply that says the file was refused; nullopt with
// `error` empty for a reply that is not one.
std::optional<Workbook> DecodeReply(QIODevice* reply, const QString& path, QString* error) {
    QDataStream in(reply);
    quint32 magic = 0;
    bool read = false;
    in >> magic >> read >> *error;
    if (in.status() != QDataStream::Ok || magic != kReplyMagic) {
        error->clear();
        return std::nullopt;
    }
    if (!read) return std::nullopt;
    Workbook workbook;
    workbook.path = path;
    quint32 sheets = 0;
    qint64 cells = 0;
    in >> sheets;
    for (quint32 s = 0; s < sheets && in.status() == QDataStream::Ok; ++s) {
        Worksheet sheet;
        quint32 rows = 0;
        in >> sheet.name >> sheet.header >> rows;
        for (quint32 r = 0; r < rows && in.status() == QDataStream::Ok; ++r) {
            WorksheetRow row;
            qint32 number = 0;
            in >> number >> row.cells;
            row.number = number;
            cells += row.cells.size();
            if (cells > kMaxReplyCells) {
                error->clear();
                return std::nullopt;
            }
            sheet.rows.push_back(std::move(row));
        }
        workbook.sheets.push_back(std::move(sheet));
    }
    if (in.status() != QDataStream::Ok || !in.atEnd()) {
        error->clear();
        return std::nullopt;
    }
    return workbook;
}

// Tells the wait indicator, if any, that the wait begins and ends.
class Waiting {
public:
    explicit Waiting(const QString& path) {
        if (WaitIndicator()) WaitIndicator()->Begin(path);
    }
    ~Waiting() {
        if (WaitIndicator()) WaitIndicator()->End();
    }
    void Tick() {
        if (WaitIndicator()) WaitIndicator()->Tick();
    }
};

}  // namespace

void SetWorkbookReaderProgram(const QString& path) {
    ReaderProgram() = path;
}

void SetWorkbookWaitIndicator(WorkbookWaitIndicator* indicator) {
    WaitIndicator() = indicator;
}

std::optional<Workbook> ReadWorkbook(const QString& path, QString* error) {
    QString message;
    auto fail = [&](const QString& reason) {
        if (error) *error = WorkbookFailure(path, reason);
        return std::nullopt;
    };
    if (!QFileInfo(path).isFile()) return fail(QStringLiteral("文件不存在。"));

    QTemporaryFile reply;
    if (!reply.open()) return fail(QStringLiteral("无法建立临时文件。"));
    QProcess child;
    child.setProgram(ReaderProgram().isEmpty() ? DefaultReaderProgram() : ReaderProgram());
    child.setArguments({QFileInfo(path).absoluteFilePath()});
    child.setStandardOutputFile(reply.fileName());
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QIODevice::ReadOnly);
    if (!child.waitForStarted())
        return fail(QStringLiteral("找不到读取Excel文件的程序“%1”。").arg(child.program()));

    bool finished = false;
    {
        Waiting waiting(path);
        const QDeadlineTimer deadline(kWorkbookTimeLimitMs);
        while (!deadline.hasExpired() && reply.size() <= kMaxReplyBytes) {
            finished = child.waitForFinished(kTickMs);
            if (finished) break;
            waiting.Tick();
        }
    }
    if (!finished) {
        child.kill();
        child.waitForFinished();
        return fail(DamagedOrTooLarge());
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0 ||
        reply.size() > kMaxReplyBytes)
        return fail(DamagedOrTooLarge());
    auto workbook = DecodeReply(&reply, path, &message);
    if (!workbook) {
        // The child's own message is complete; without one the reply was garbage.
        if (message.isEmpty()) return fail(DamagedOrTooLarge());
        if (error) *error = message;
    }
    return workbook;
}

int ServeWorkbookRead(int argc, char** argv) {
    if (argc != 2) return 2;
#ifdef Q_OS_UNIX
    const rlimit memory{rlim_t(kWorkbookMemoryLimit), rlim_t(kWorkbookMemoryLimit)};
    const rlimit seconds{rlim_t(kWorkbookTimeLimitMs / 1000), rlim_t(kWorkbookTimeLimitMs / 1000)};
    const rlimit noCore{0, 0};
    // The reply file is refused beyond this size anyway; the disk is spared the rest.
    const rlimit replySize{rlim_t(kMaxReplyBytes + 1), rlim_t(kMaxReplyBytes + 1)};
    if (setrlimit(RLIMIT_AS, &memory) != 0 || setrlimit(RLIMIT_CPU, &seconds) != 0 ||
        setrlimit(RLIMIT_FSIZE, &replySize) != 0)
        return 3;
    setrlimit(RLIMIT_CORE, &noCore);
#endif
    QString error;
    const std::optional<Workbook> workbook = ReadWorkbookHere(QFile::decodeName(argv[1]), &error);
    const QByteArray reply = EncodeReply(workbook, workbook ? QString() : error);
    return std::fwrite(reply.constData(), 1, size_t(reply.size()), stdout) ==
                       size_t(reply.size()) &&
                   std::fflush(stdout) == 0
               ? 0
               : 4;
}
