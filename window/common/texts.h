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

// The web page's own words, where the browser does what a desktop does for the windows.
// The page reads them from texts.js, which the build writes from this file; {} stands for
// what the page puts in.
inline constexpr std::string_view kPageCannotStart = "这个页面无法运行拆分程序：{}";
inline constexpr std::string_view kPageBrowserTooOld =
    "这个浏览器太旧，不能运行 WebAssembly。请换用新一些的浏览器。";
inline constexpr std::string_view kPageScriptMissing = "无法载入 {}。请检查网络后重新载入页面。";
inline constexpr std::string_view kPageWasmForbidden =
    "网站的内容安全策略（Content-Security-Policy）不允许 WebAssembly，须在 script-src 中加上 "
    "'wasm-unsafe-eval'。";
inline constexpr std::string_view kPageProgramMissing =
    "无法载入拆分程序 mardovane.wasm。请检查网络后重新载入页面；如果一直这样，请告诉网站的管理员。";
inline constexpr std::string_view kPageWorkerNotStarted =
    "无法启动拆分用的后台程序 worker.js（{}）。";
inline constexpr std::string_view kPageWorkerFailed = "拆分用的后台程序 worker.js 出错了（{}）。";
inline constexpr std::string_view kPageWorkerMissing = "无法载入拆分用的后台程序 worker.js。";
inline constexpr std::string_view kPageWorkerUnreadable = "拆分用的后台程序送回了无法读取的结果。";
inline constexpr std::string_view kPageWorkerSilent = "拆分用的后台程序 worker.js 没有回应。";
inline constexpr std::string_view kPageCopied = "已复制全部文字。";
inline constexpr std::string_view kPageOfflineTable = "没有网络：正在用上次读到的拆字表拆分。";
inline constexpr std::string_view kPageWorking = "正在处理…";
inline constexpr std::string_view kPageOwnTableUnreadable = "无法读取所选的拆字表（{}）。";
inline constexpr std::string_view kPageSharedByCopying =
    "这个浏览器不能直接分享：已复制全部文字，可以粘贴到要分享的地方。";
inline constexpr std::string_view kPageNoTableOffline = "没有网络，也没有读到过这个拆字表";
inline constexpr std::string_view kPageWebPageAsTable =
    "服务器送来的是一个网页，不是拆字表（HTTP {}）";
inline constexpr std::string_view kPageTextNotKept =
    "这段文字太大，浏览器无法保存：重新载入页面后它不会回来。请先复制保存。";
inline constexpr std::string_view kPageTypedDuringSplit = "正在拆分，拆分完成前不能输入。";

}  // namespace mardovane::texts
