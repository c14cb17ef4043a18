#include "data/dberror.h"

DatabaseError::DatabaseError(DataFailure kind, const QString& detail, const QString& code)
    : std::runtime_error(DataFailureText(kind, detail).toStdString()), m_kind(kind), m_code(code) {}

QString DataFailureText(DataFailure kind, const QString& detail) {
    switch (kind) {
        case DataFailure::Busy:
            return QStringLiteral("数据库正忙（别的程序或工作站正在写入），请稍后再试。");
        case DataFailure::FileMissing:
            return QStringLiteral("数据文件“%1”不存在。").arg(detail);
        case DataFailure::FileDamaged:
            return QStringLiteral(
                       "无法使用数据文件“%1”：它不是本程序可用的数据文件（文件为空、已损坏或属于"
                       "别的程序），或者没有读写它的权限。")
                .arg(detail);
        case DataFailure::ServerLost:
            return QStringLiteral(
                       "无法连接数据库服务器%1：服务器没有运行、没有响应，或者网络不通。")
                .arg(detail);
        case DataFailure::Refused:
            return QStringLiteral("数据库拒绝了这次修改（数据重复或不完整），数据没有保存。");
        case DataFailure::Other:
            break;
    }
    return QStringLiteral("数据库操作失败：%1").arg(detail);
}
