#pragma once
// The texts every front end shows the same way: the dialogs' controls,
// status line, questions and counts line, and the workflow's notes. UTF-8.
// Those vexa-cli shows too are marked for its message catalog (N_) and go
// through Tr where they are shown; the dialogs' Tr changes nothing.

#include <string>

#include "platform/message_catalog.h"

namespace app_text {

inline constexpr const char* kCaption = "Korvane";

// Control texts.
inline constexpr const char* kStart = "开始";
inline constexpr const char* kBrowse = "指定";
inline constexpr const char* kOpen = "打开";
inline constexpr const char* kIncludeSub = "包含子目录";
inline constexpr const char* kRenameDirs = "重命名文件夹";
// The match modes (CMatchModes): 区分大小写 is on unless -i.
inline constexpr const char* kMatchCase = "区分大小写";
inline constexpr const char* kWholeWord = "全字匹配";
inline constexpr const char* kRegex = "正则表达式";
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
// Once the files of a job are counted: "执行中...第N个文件 / 共M个".
inline constexpr const char* kTotalBefore = " / 共";
inline constexpr const char* kTotalAfter = "个";
// Beside the progress bar, and on vexa-cli's progress line.
inline constexpr const char* kRateBefore = "每秒 ";
inline constexpr const char* kRateAfter = " 个";
inline constexpr const char* kTimeLeft = "，还剩约 ";
inline constexpr const char* kHours = " 小时 ";
inline constexpr const char* kMinutes = " 分";
inline constexpr const char* kSeconds = " 秒";

// Messages.
inline constexpr const char* kCannotStartThread = "Cannot Start New Thread";
// The user has no config folder for the rules and settings.
inline constexpr const char* kNoConfigFolder =
    "找不到用户的配置文件夹：XDG_CONFIG_HOME 和 HOME 都没有设置为绝对路径，"
    "用户数据库中也没有主目录。请设置 HOME 后再启动。";
inline constexpr const char* kRunProblemsHeading = "执行完成，但有文件或文件夹未能处理：";

// Preview (a dry run) and the counts line under the status line.
inline constexpr const char* kPreview = "预览";
inline constexpr const char* kPreviewing = "预览中";
inline constexpr const char* kPreviewProgressBefore = "预览中...第";
inline constexpr const char* kPreviewFinished = "预览完成";
inline constexpr const char* kResults = "结果";
inline constexpr const char* kCountsStopped = "已停止，";
inline constexpr const char* kCountsModes = "；匹配模式：%1";
inline constexpr const char* kCountsHandled = "已处理 %1 个文件，";
inline constexpr const char* kCountsRewritten = "已改写 %1 个文件";
inline constexpr const char* kCountsWouldRewrite = "将改写 %1 个文件";
inline constexpr const char* kCountsUnchanged = "，未改动 %1 个";
inline constexpr const char* kCountsSkipped = "，跳过 %1 个";
inline constexpr const char* kCountsWriteFailed = "，写入失败 %1 个";
inline constexpr const char* kCountsRenamed = "；重命名 %1 个文件夹";
inline constexpr const char* kCountsWouldRename = "；将重命名 %1 个文件夹";
inline constexpr const char* kCountsRenameFailed = "，重命名失败 %1 个";
inline constexpr const char* kCountsFolderSkipped = "，目录已跳过 %1 个";
inline constexpr const char* kCountsBinary = "，二进制文件 %1 个";
inline constexpr const char* kCountsLinks = "；未跟随符号链接 %1 个";
inline constexpr const char* kCountsTime = "；用时 %1 秒";

// Undo of the last run, and the counts line after it.
inline constexpr const char* kUndo = "撤销本次执行";
inline constexpr const char* kConfirmUndo =
    N_("撤销这次执行：\n"
       "被它改写的文件将换回执行前的内容，被它重命名的文件夹将改回原来的名称。\n"
       "执行之后又被改动过的文件和文件夹保持不动，只在结果中列出。\n\n"
       "确定要撤销吗？");
// Asked before a run that keeps a journal, instead of the warning that a run
// cannot be undone.
inline constexpr const char* kConfirmRunJournaled =
    "本次执行会记录撤销日志，完成后可在“结果”中撤销。确定要继续执行吗？";
// 执行 in a preview's results window, when a rules file differs from what
// the preview used.
inline constexpr const char* kAskRulesChanged =
    "预览之后规则文件已被修改。仍按预览时的规则执行吗？\n（选“否”不执行；可重新预览后再执行。）";
// After the counts of a run of a preview with files left out.
inline constexpr const char* kCountsLeftOut = "；另有 %1 个文件未勾选，未处理";
inline constexpr const char* kAskUndoInterrupted =
    "上次在此文件夹的执行被中断。要先撤销它已做的改动吗？";
// With the accelerators the yes/no boxes have in Qt's Chinese translation.
inline constexpr const char* kAnswerYes = "是(&Y)";
inline constexpr const char* kAnswerNo = "否(&N)";
inline constexpr const char* kAnswerCancel = "取消";
inline constexpr const char* kUndoing = "撤销中";
inline constexpr const char* kUndoProgressBefore = "撤销中...第";
inline constexpr const char* kUndoFinished = "撤销完成";
inline constexpr const char* kCountsRestored = "已恢复 %1 个文件";
inline constexpr const char* kCountsNothingToRestore = "，无需恢复 %1 个";
inline constexpr const char* kCountsNotRestored = "，未恢复 %1 个";
inline constexpr const char* kCountsRenamedBack = "；改回原名 %1 个文件夹";
inline constexpr const char* kCountsNotRenamedBack = "，未改回 %1 个";
// The results of the last run read from its journal, after a restart.
inline constexpr const char* kJournalWhen = "上次执行（%1）";
inline constexpr const char* kJournalInterrupted = "；该次执行被中断，未做完";

// Said instead of asked where nobody is asked: on the command line.
inline std::string InterruptedRunNote(const std::string& folder) {
    return FillMessage(
        N_("vexa-cli: 上次在 {} 上的执行被中断了（进程被终止），它留下的临时文件会被清除。"
           "它已做的改动可以用 vexa-cli --undo 撤销；本次执行一旦改动文件，上次的撤销日志"
           "就会被替换。"),
        {folder});
}
inline std::string InterruptedUndoNote(const std::string& folder) {
    return FillMessage(N_("vexa-cli: 上次在 {} 上的执行被中断了（进程被终止）；撤销会恢复它已"
                          "做的改动，并清除它留下的临时文件。"),
                       {folder});
}

// Rules given as a stream that cannot be read: the path, then why.
inline constexpr const char* kRulesStreamUnreadable = N_("无法读取规则：{}（{}）");
// The same for a list of files (--files-from).
inline constexpr const char* kFileListUnreadable = N_("无法读取文件列表：{}（{}）");

// Closing during a run.
inline constexpr const char* kConfirmCloseRunning = "正在执行，关闭窗口将停止执行。确定要关闭吗？";

// Open commands that fail.
inline constexpr const char* kOpenFailed = "无法打开：\n%1\n\n%2";
inline constexpr const char* kOpenNoFolder = "文件夹不存在。";
inline constexpr const char* kOpenNoFile = "文件不存在。";
inline constexpr const char* kOpenNoHandler =
    "系统中没有可以打开它的程序（文件管理器或文本编辑器）。";
inline constexpr const char* kCopyPath = "复制路径";

// The results window.
inline constexpr const char* kResultsTitle = "结果 - Korvane";
inline constexpr const char* kKindAll = "全部";
inline constexpr const char* kKindRewritten = "已改写";
inline constexpr const char* kKindWouldRewrite = "将改写";
inline constexpr const char* kKindRenamed = "已重命名";
inline constexpr const char* kKindWouldRename = "将重命名";
inline constexpr const char* kKindSkipped = "已跳过";
inline constexpr const char* kKindWriteFailed = "写入失败";
inline constexpr const char* kKindRenameFailed = "重命名失败";
inline constexpr const char* kKindFolderSkipped = "目录已跳过";
inline constexpr const char* kKindBinary = "二进制文件";
inline constexpr const char* kKindLink = "符号链接";
inline constexpr const char* kKindRestored = "已恢复";
inline constexpr const char* kKindNotRestored = "未恢复";
inline constexpr const char* kKindRenamedBack = "已改回原名";
inline constexpr const char* kKindNotRenamedBack = "未改回原名";
inline constexpr const char* kColumnKind = "类型";
inline constexpr const char* kColumnPath = "路径";
inline constexpr const char* kColumnDetail = "说明";
inline constexpr const char* kColumnReplacements = "替换次数";
inline constexpr const char* kFilterLabel = "显示：";
// A filter entry with how many rows it shows: "已改写（12）".
inline constexpr const char* kFilterCount = "%1（%2）";
inline constexpr const char* kSearchPlaceholder = "按路径搜索";
inline constexpr const char* kSearchName = "搜索路径";
inline constexpr const char* kTipRunPreviewed =
    "按这次预览执行：改写勾选的文件，并做预览中的重命名。执行前会再确认";
inline constexpr const char* kTipSearch = "只显示路径中含有这段文字的项（不区分大小写）";
inline constexpr const char* kOpenFile = "打开文件";
inline constexpr const char* kOpenFolder = "打开所在文件夹";
inline constexpr const char* kCopyList = "复制列表";
inline constexpr const char* kSaveList = "保存为文本...";
inline constexpr const char* kSaveListTitle = "保存结果";
inline constexpr const char* kSaveListFilter = "文本文件 (*.txt)";
inline constexpr const char* kSaveListName = "结果.txt";  // suggested in the run's folder
inline constexpr const char* kSaveFailed = "无法保存到：\n%1";
inline constexpr const char* kClose = "关闭";
inline constexpr const char* kDiffHint = "选择一个“将改写”的文件，这里显示它的改动。";
inline constexpr const char* kDiffNone = "这个文件现在没有要改动的内容。";
inline constexpr const char* kDiffUnavailable = "无法显示这个文件的改动：%1";

// Tooltips; a control without a text of its own also takes its tooltip as
// its accessible name.
inline constexpr const char* kTipStartStop = "检查输入、确认后执行替换；执行或预览中点它停止";
inline constexpr const char* kTipPath = "要处理的文件夹";
inline constexpr const char* kTipBrowse = "选择要处理的文件夹";
inline constexpr const char* kTipOpen = "在文件管理器中打开这个文件夹";
inline constexpr const char* kTipSuffix =
    "要处理的文件后缀，用分号分隔，例如 *.txt;*.htm；*.* 表示所有文件。"
    "后缀是文件名第一个点与第二个点之间的部分，区分大小写";
inline constexpr const char* kTipSub = "同时处理所有子文件夹中的文件";
inline constexpr const char* kTipRenameDirs =
    "按重命名规则重命名子文件夹（需要同时勾选“包含子目录”）";
inline constexpr const char* kTipMatchCase =
    "勾选时查找内容的大小写须完全一致；不勾选时 Colour 也匹配 colour（按 Unicode 大小写）";
inline constexpr const char* kTipWholeWord =
    "只匹配前后都不是字母、数字或下划线的查找内容：colour 不匹配 watercolours 中的 colour";
inline constexpr const char* kTipRegex =
    "查找内容是 Perl 语法的正则表达式，替换内容可用 $1…$9、${名称} 和 $$；"
    "^ 和 $ 匹配每行的开头和结尾，换行写作 \\r\\n；超过 64 MiB 的文件不处理";
inline constexpr const char* kTipReplaceRules = "在规则窗口中编辑内容替换规则";
inline constexpr const char* kTipRenameRules = "在规则窗口中编辑文件夹重命名规则";
inline constexpr const char* kTipAbout = "程序名称和版本";
inline constexpr const char* kTipStatus = "当前状态";
inline constexpr const char* kTipPreview =
    "不改动任何文件，列出执行时将改写的文件和将重命名的文件夹";
inline constexpr const char* kTipResults =
    "显示上次执行、预览或撤销的结果；程序重新启动后，显示所在目录上次执行的改动";
inline constexpr const char* kTipCounts = "上次执行或预览的统计";
inline constexpr const char* kProgressName = "进度";
inline constexpr const char* kRecentName = "最近的文件夹";
inline constexpr const char* kTipRecent = "从最近执行或预览过的文件夹中选择（最多 10 个）";
inline constexpr const char* kTipProgress = "已处理的文件数；文件总数数出之前只表示正在进行";
inline constexpr const char* kTipRate = "每秒处理的文件数和预计剩余时间";
inline constexpr const char* kTipResultsCounts = "本次执行或预览的统计";
inline constexpr const char* kTipResultsFilter = "只显示一种结果";
inline constexpr const char* kTipResultsList =
    "每个改写、重命名、跳过或失败的文件和文件夹；右键可打开文件或所在文件夹";
inline constexpr const char* kTipResultsDiff =
    "所选文件将要发生的改动：删除的行和新增的行，改动的文字突出显示";
inline constexpr const char* kTipCopyList = "把列表（当前显示的项）复制到剪贴板";
inline constexpr const char* kTipSaveList = "把列表（当前显示的项）保存为 UTF-8 文本文件";
inline constexpr const char* kTipCloseResults = "关闭结果窗口";
inline constexpr const char* kTipUndo =
    "把这次执行改写的文件换回原来的内容，重命名的文件夹改回原名；"
    "之后又被改动的文件和文件夹保持不动";
inline constexpr const char* kTipCopyPath = "把这个路径复制到剪贴板";

// The help window (F1); its text is in help_text.h.
inline constexpr const char* kHelpTitle = "Korvane 帮助";

// Folder picker.
inline constexpr const char* kPickFolderTitle = "请指定目录：";

}  // namespace app_text
