#include "data/dberror.h"

namespace failure_text {

QString Busy() {
    return QStringLiteral("数据库正忙（别的程序或工作站正在写入），请稍后再试。");
}

QString FileBusy(const QString& path) {
    return QStringLiteral("无法打开数据文件“%1”：别的程序正占用它，请稍后再试。").arg(path);
}

QString FileMissing(const QString& path) {
    return QStringLiteral("无法打开数据文件“%1”：文件不存在。").arg(path);
}

QString FileDamaged(const QString& path) {
    return QStringLiteral(
               "无法打开数据文件“%1”：它不是本程序可用的数据文件（文件为空、已损坏或属于别的"
               "程序）。")
        .arg(path);
}

QString FileUnreadable(const QString& path) {
    return QStringLiteral("无法打开数据文件“%1”：没有读写它的权限，或者它无法访问。").arg(path);
}

QString ServerLost(const QString& host, const QString& port) {
    return QStringLiteral(
               "无法连接数据库服务器%1（端口%2）：服务器没有运行、没有响应，或者网络不通。")
        .arg(host.isEmpty() ? QStringLiteral("localhost") : host,
             port.isEmpty() ? QStringLiteral("5432") : port);
}

QString NoServerData(const QString& schema) {
    return QStringLiteral("数据库中没有“%1”这部分数据。").arg(schema);
}

QString ServerDataUnopened(const QString& schema, const QString& reason) {
    return QStringLiteral("无法打开服务器上的数据“%1”：%2").arg(schema, reason);
}

QString Refused() {
    return QStringLiteral("数据库拒绝保存这些数据（数据重复、缺少必填项或不合数据的规则）。");
}

QString Other(const QString& engineText) {
    return engineText;
}

QString NotBegun(const QString& reason) {
    return QStringLiteral("无法开始数据库事务：%1").arg(reason);
}

QString NotStored(const QString& reason) {
    return QStringLiteral("数据未能保存：%1").arg(reason);
}

}  // namespace failure_text
