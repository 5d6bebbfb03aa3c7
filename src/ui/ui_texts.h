#pragma once
// Every text the dialog shows, UTF-8.

namespace ui_text {

inline constexpr const char* kCaption = "Korvane";

// Control texts.
inline constexpr const char* kStart = "开始";
inline constexpr const char* kBrowse = "指定";
inline constexpr const char* kOpen = "打开";
inline constexpr const char* kIncludeSub = "包含子目录";
inline constexpr const char* kRenameDirs = "重命名文件夹";
inline constexpr const char* kReplaceRules = "内容替换规则";
inline constexpr const char* kRenameRules = "重命名规则";
inline constexpr const char* kAbout = "关于";
inline constexpr const char* kFolderLabel = "所在目录：";
inline constexpr const char* kSuffixLabel = "文件后缀：";
inline constexpr const char* kSuffixHint = "（分号分隔）";
inline constexpr const char* kPathPlaceholder = "要处理的文件夹";
inline constexpr const char* kSuffixPlaceholder = "例如 *.txt;*.htm";

// Start/Stop captions and status line.
inline constexpr const char* kStop = "停止";
inline constexpr const char* kStopping = "正在停止";
inline constexpr const char* kRun = "执行";
inline constexpr const char* kReady = "就绪";
inline constexpr const char* kRunning = "执行中";
inline constexpr const char* kProgressBefore = "执行中...第";
inline constexpr const char* kProgressAfter = "个文件";
inline constexpr const char* kFinished = "执行完成！";

// Messages.
inline constexpr const char* kCannotStartThread = "Cannot Start New Thread";
// The user has no config folder for the rules and settings.
inline constexpr const char* kNoConfigFolder =
    "找不到用户的配置文件夹：XDG_CONFIG_HOME 和 HOME 都没有设置为绝对路径，"
    "用户数据库中也没有主目录。请设置 HOME 后再启动。";
inline constexpr const char* kRunProblemsHeading = "执行完成，但有文件或文件夹未能处理：";

// Folder picker.
inline constexpr const char* kPickFolderTitle = "请指定目录：";

}  // namespace ui_text
