#include "window/common/failure_text.h"

#include "substitution/paths.h"

namespace mardovane::texts {
namespace {

std::string describe_in_chinese(const FileError& error) {
    const std::string path = display_path(error.path);
    switch (error.problem) {
        case FileProblem::Missing:
            return "找不到拆字表文件：\n" + path;
        case FileProblem::NotRegularFile:
            return "拆字表不是普通文件：\n" + path;
        case FileProblem::Unreadable:
            return "无法读取拆字表文件：\n" + path + "\n（" + error.system_message + "）";
        case FileProblem::InvalidEncoding:
            break;
    }
    const std::string what =
        error.decode.reason == DecodeError::Reason::Truncated
            ? "的 " + std::string(encoding_name(error.encoding)) + " 字节序列在文件末尾被截断"
            : "含有无效的 " + std::string(encoding_name(error.encoding)) + " 字节";
    // The byte counted as people count, from 1, as the line is.
    return "拆字表文件第 " + std::to_string(error.line) + " 行" + what + "（文件第 " +
           std::to_string(error.decode.byte_offset + 1) + " 字节）：\n" + path;
}

struct Describe {
    const char* doing;  // 拆分 or 粘贴

    std::string operator()(const FileError& error) const { return describe_in_chinese(error); }
    std::string operator()(const ResultTooLarge& too_large) const {
        return std::string(doing) + "后的文字将超过 " + std::to_string(too_large.limit) +
               " 个字符的上限。";
    }
    std::string operator()(const OutOfMemory&) const {
        return "内存不足，无法完成" + std::string(doing) + "。";
    }
    std::string operator()(const ThreadUnavailable&) const {
        return "系统无法为" + std::string(doing) + "启动新的线程，请关闭一些程序后再试。";
    }
    std::string operator()(const UnexpectedError& error) const {
        return std::string(doing) + "时出现意外错误：\n" + error.what;
    }
};

}  // namespace

std::string job_report(Activity activity, std::size_t replacements) {
    if (activity != Activity::Split) {
        return {};
    }
    if (replacements == 0) {
        return "文字里没有拆字表里的字，没有拆分。";
    }
    return "已拆分 " + std::to_string(replacements) + " 个字。";
}

std::string failure_text(const SplitFailure& failure, Activity activity) {
    const char* doing = "拆分";
    switch (activity) {
        case Activity::Split:
            break;
        case Activity::Paste:
            doing = "粘贴";
            break;
        case Activity::Undo:
            doing = "撤销";
            break;
        case Activity::Redo:
            doing = "重做";
            break;
        case Activity::Clear:
            doing = "清除";
            break;
    }
    const Describe describe{doing};
    return std::visit(describe, failure) + "\n\n文字未作任何改动。";
}

}  // namespace mardovane::texts
