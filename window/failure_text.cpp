#include "window/failure_text.h"

#include "substitution/paths.h"

namespace mardovane {
namespace {

std::string describe_in_chinese(const KeywordFileError& error) {
    const std::string path = display_path(error.path);
    switch (error.reason) {
        case KeywordFileError::Reason::Missing:
            return "找不到拆字表文件：\n" + path;
        case KeywordFileError::Reason::NotRegularFile:
            return "拆字表不是普通文件：\n" + path;
        case KeywordFileError::Reason::Unreadable:
            return "无法读取拆字表文件：\n" + path + "\n（" + error.system_message + "）";
        case KeywordFileError::Reason::InvalidEncoding:
            return "拆字表文件第 " + std::to_string(error.line) + " 行含有无效的 " +
                   error.encoding_name + " 字节（文件第 " + std::to_string(error.byte_offset) +
                   " 字节）：\n" + path;
    }
    return path;
}

}  // namespace

std::string failure_text(const SplitFailure& failure) {
    std::string what;
    if (const auto* error = std::get_if<KeywordFileError>(&failure)) {
        what = describe_in_chinese(*error);
    } else {
        what = "拆分后的文字将超过 " + std::to_string(std::get<ResultTooLarge>(failure).limit) +
               " 个字符的上限。";
    }
    return what + "\n\n文字未作任何改动。";
}

}  // namespace mardovane
