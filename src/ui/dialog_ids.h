#pragma once
// The dialog's control ids. Each control's objectName is "ctl" + its id.

enum ControlId : int {
    IDC_PATH = 1000,           // edit: folder path
    IDC_BROWSE = 1001,         // "指定": pick the folder
    IDC_SUFFIX = 1002,         // edit: suffix patterns
    IDC_STARTSTOP = 1003,      // "开始" / "停止" / "正在停止" / "执行"
    IDC_OPENPATH = 1004,       // "打开": open the folder
    IDC_ABOUT = 1005,          // "关于"
    IDC_STATUS = 1006,         // status line
    IDC_SUB = 1010,            // check box: include subfolders
    IDC_RENAMEDIR = 1011,      // check box: rename folders
    IDC_RENAME_RULES = 1012,   // "重命名规则": open the rename rules file
    IDC_REPLACE_RULES = 1013,  // "内容替换规则": open the replacement rules file
    IDC_PREVIEW = 1014,        // "预览": the job as a dry run
    IDC_RESULTS = 1015,        // "结果": the results window
    IDC_COUNTS = 1016,         // counts line under the status line
    IDC_PROGRESS = 1017,       // progress bar of a job
    IDC_RATE = 1018,           // files per second and time left, beside the bar
    IDC_RECENT = 1019,         // drop-down of the folders used last
    IDC_MATCHCASE = 1030,      // check box: 区分大小写 (on: literal case)
    IDC_WHOLEWORD = 1031,      // check box: 全字匹配
    IDC_REGEX = 1032,          // check box: 正则表达式
};
