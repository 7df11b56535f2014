#include "window/failure_message.h"

namespace mardovane {
namespace {

QString describe_in_chinese(const KeywordFileError& error) {
    const QString path = QString::fromStdString(error.path.string());
    switch (error.reason) {
        case KeywordFileError::Reason::Missing:
            return QStringLiteral("找不到拆字表文件：\n%1").arg(path);
        case KeywordFileError::Reason::NotRegularFile:
            return QStringLiteral("拆字表不是普通文件：\n%1").arg(path);
        case KeywordFileError::Reason::Unreadable:
            return QStringLiteral("无法读取拆字表文件：\n%1\n（%2）")
                .arg(path, QString::fromStdString(error.system_message));
        case KeywordFileError::Reason::InvalidEncoding:
            return QStringLiteral("拆字表文件第 %1 行含有无效的 %2 字节（文件第 %3 字节）：\n%4")
                .arg(error.line)
                .arg(QString::fromStdString(error.encoding_name))
                .arg(error.byte_offset)
                .arg(path);
    }
    return path;
}

}  // namespace

QString failure_message(const SplitFailure& failure) {
    QString what;
    if (const auto* error = std::get_if<KeywordFileError>(&failure)) {
        what = describe_in_chinese(*error);
    } else {
        what = QStringLiteral("拆分后的文字将超过 %1 个字符的上限。")
                   .arg(std::get<ResultTooLarge>(failure).limit);
    }
    return what + QStringLiteral("\n\n文字未作任何改动。");
}

}  // namespace mardovane
