#pragma once

#include <string_view>

// Every text the window shows its user, in Chinese (UTF-8), for every front end.
namespace mardovane::texts {

inline constexpr std::string_view kCaption = "Mardovane";
inline constexpr std::string_view kNotice = "本工具仅用于娱乐，请勿用于正式文档";

// The hotspots' accessible names and tooltips.
inline constexpr std::string_view kSplit = "拆分文字";
inline constexpr std::string_view kCopyAll = "复制全部";
inline constexpr std::string_view kClear = "清除";
inline constexpr std::string_view kOpenWebPageTooltip = "打开网页";

// The second split command, in the text box's menu, and what it says with nothing selected.
inline constexpr std::string_view kSplitSelection = "拆分选中的文字";
inline constexpr std::string_view kNothingSelected = "请先选中要拆分的文字。";

// The text box's menu where the front end draws its own (the Windows edit control's).
inline constexpr std::string_view kUndo = "撤销";
inline constexpr std::string_view kRedo = "重做";
inline constexpr std::string_view kCut = "剪切";
inline constexpr std::string_view kCopy = "复制";
inline constexpr std::string_view kPaste = "粘贴";
inline constexpr std::string_view kDelete = "删除";
inline constexpr std::string_view kSelectAll = "全选";

// The text box's name and description for screen readers.
inline constexpr std::string_view kText1AccessibleName = "要拆分的文字";
inline constexpr std::string_view kText1AccessibleDescription =
    "在此输入或粘贴文字，然后按“拆分文字”（Ctrl+Enter）。";

inline constexpr std::string_view kClipboardBusy =
    "无法打开剪贴板，可能有其他程序正在使用它。请稍后再试。";
inline constexpr std::string_view kClipboardFailed = "无法把文字放到剪贴板上：内存不足。";
inline constexpr std::string_view kClipboardRefused = "浏览器不允许把文字放到剪贴板上。";

}  // namespace mardovane::texts
