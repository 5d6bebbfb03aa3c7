#pragma once
// Resource and control ids of the Windows dialog. Plain macros: the resource
// compiler reads this file too.

#define IDD_REPLACE 102
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
#define IDC_COUNTS 1020         // counts line of the last run, under the status line

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
