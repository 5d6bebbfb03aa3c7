#pragma once
// Resource and control ids of the Windows dialog. Plain macros: the resource
// compiler reads this file too.

#define IDD_REPLACE 102
#define IDD_RULES 103  // the rules editor
#define IDI_VEXA 128

#define IDC_PATH 1000           // edit: folder path
#define IDC_BROWSE 1001         // "指定": pick the folder
#define IDC_SUFFIX 1002         // edit: suffix patterns
#define IDC_STARTSTOP 1003      // "开始" / "停止" / "正在停止" / "执行"
#define IDC_OPENPATH 1004       // "打开": open the folder
#define IDC_ABOUT 1005          // "关于"
#define IDC_STATUS 1006         // status line
#define IDC_SUB 1010            // check box: include subfolders
#define IDC_RENAMEDIR 1011      // check box: rename folders
#define IDC_RENAME_RULES 1012   // "重命名规则": open the rename rules file
#define IDC_REPLACE_RULES 1013  // "内容替换规则": open the replacement rules file
#define IDC_PREVIEW 1014        // "预览": the job as a dry run
#define IDC_RESULTS 1015        // "结果": the results window
#define IDC_PROGRESS 1017       // progress bar of a job
#define IDC_RATE 1018           // files per second and time left, beside the bar
#define IDC_RECENT 1019         // button with the menu of the folders used last
#define IDC_COUNTS 1020         // counts line of the last run, under the status line
#define IDC_MATCHCASE 1030      // check box: 区分大小写 (on: literal case)
#define IDC_WHOLEWORD 1031      // check box: 全字匹配
#define IDC_REGEX 1032          // check box: 正则表达式

// The rules editor ("规则 - Korvane").
#define IDC_RULES_TAB 1100       // tabs: 内容替换规则, 重命名规则
#define IDC_RULES_LIST 1101      // list view: a row per line of the file
#define IDC_RULES_CELL0 1102     // edit: the selected rule's find text (old name)
#define IDC_RULES_CELL1 1103     // edit: its replacement (new name)
#define IDC_RULES_ADD 1104       // "添加"
#define IDC_RULES_REMOVE 1105    // "删除"
#define IDC_RULES_UP 1106        // "上移"
#define IDC_RULES_DOWN 1107      // "下移"
#define IDC_RULES_PROBLEMS 1108  // what is wrong, or how many rules
#define IDC_RULES_SAMPLE 1109    // edit: the tester's sample text
#define IDC_RULES_RESULT 1110    // edit: the sample with the rules applied
#define IDC_RULES_OPEN 1111      // "用文本编辑器打开"
#define IDC_RULES_SAVE 1112      // "保存"
#define IDC_RULES_CLOSE 1113     // "关闭"
#define IDC_RULES_LABEL0 1114    // "查找：" / "原名称："
#define IDC_RULES_LABEL1 1115    // "替换为：" / "新名称："

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
