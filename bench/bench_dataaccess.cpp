// Data layer timings: rows written through the recordset against raw SQLite prepared
// inserts of the same rows, and opening a large snapshot.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "data/adoconn.h"

namespace {

constexpr int kRows = 100000;
const char* const kCreate =
    "create table examinee(ID AUTOINCREMENT PRIMARY KEY,姓名 TEXT,部门 TEXT,职务 TEXT)";

QString FreshDatabase(QTemporaryDir& dir) {
    const QString path = dir.filePath("bench.mdb");
    QFile::remove(path);
    CADOConn::CreateDatabaseFile(path);
    CADOConn conn;
    conn.ExecuteStatement(kCreate, path);
    return path;
}

QString Name(int i) {
    return QStringLiteral("考生%1").arg(i);
}

void RecordsetInserts(benchmark::State& state) {
    QTemporaryDir dir;
    const QString department = QStringLiteral("生产部"), position = QStringLiteral("操作工");
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = FreshDatabase(dir);
        state.ResumeTiming();
        CADOConn conn;
        conn.OpenDatabase(path);
        CTransaction transaction(conn);
        auto rs = conn.OpenRecordset("select * from examinee", path);
        for (int i = 0; i < kRows; ++i) {
            rs->AddNew();
            rs->PutCollect("姓名", Name(i));
            rs->PutCollect("部门", department);
            rs->PutCollect("职务", position);
            rs->Update();
        }
        transaction.Commit();
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(RecordsetInserts)->Unit(benchmark::kMillisecond)->MinTime(2);

void RawSqliteInserts(benchmark::State& state) {
    QTemporaryDir dir;
    const QString department = QStringLiteral("生产部"), position = QStringLiteral("操作工");
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = FreshDatabase(dir);
        state.ResumeTiming();
        sqlite3* db = nullptr;
        sqlite3_open(path.toUtf8().constData(), &db);
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO examinee(姓名,部门,职务) VALUES(?,?,?)", -1, &stmt,
                           nullptr);
        // UTF-8, the fastest way in for text that SQLite stores as UTF-8.
        const QByteArray departmentUtf8 = department.toUtf8(), positionUtf8 = position.toUtf8();
        for (int i = 0; i < kRows; ++i) {
            const QByteArray name = Name(i).toUtf8();
            sqlite3_bind_text(stmt, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 2, departmentUtf8.constData(), int(departmentUtf8.size()),
                              SQLITE_TRANSIENT);
            sqlite3_bind_text(stmt, 3, positionUtf8.constData(), int(positionUtf8.size()),
                              SQLITE_TRANSIENT);
            sqlite3_step(stmt);
            sqlite3_reset(stmt);
        }
        sqlite3_finalize(stmt);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(RawSqliteInserts)->Unit(benchmark::kMillisecond)->MinTime(2);

void OpenLargeSnapshot(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = FreshDatabase(dir);
    {
        CADOConn conn;
        conn.OpenDatabase(path);
        CTransaction transaction(conn);
        auto rs = conn.OpenRecordset("select * from examinee", path);
        for (int i = 0; i < kRows; ++i) {
            rs->AddNew();
            rs->PutCollect("姓名", Name(i));
            rs->PutCollect("部门", QStringLiteral("生产部"));
            rs->PutCollect("职务", QStringLiteral("操作工"));
            rs->Update();
        }
        transaction.Commit();
    }
    for (auto _ : state) {
        CADOConn conn;
        auto rs = conn.OpenRecordset("select * from examinee", path);
        benchmark::DoNotOptimize(rs->RecordCount());
    }
}
BENCHMARK(OpenLargeSnapshot)->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace
