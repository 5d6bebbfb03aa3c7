#pragma once

// The texts of vexa-cli, UTF-8, marked for its message catalog: each goes
// through Tr where it is printed. The dialog's own messages come from the
// engine and the rules loader; these are the command line's.

#include "platform/message_catalog.h"

inline constexpr const char* kDone = N_("执行完成！");
// The summary's last line after Ctrl-C, instead of kDone.
inline constexpr const char* kStopped = N_("已停止");
inline constexpr const char* kDeclined = N_("已取消，未做任何改动。");
inline constexpr const char* kNoTerminal =
    N_("标准输入不是终端，无法询问确认，未做任何改动。确认要执行请加 --yes"
       "（先看看会改动什么：--dry-run --list）。");
inline constexpr const char* kDryRunNote =
    N_("演练（--dry-run）：以下是实际执行将会做的改动，"
       "没有写入任何文件，也没有重命名任何文件夹。");
inline constexpr const char* kStoppedNote =
    N_("已按 Ctrl-C 停止：当前文件已处理完，已进入的文件夹已按规则重命名，其余未处理。");
inline constexpr const char* kUndoNote =
    N_("撤销上次执行：已恢复的文件计为“已改写”，改回原名的文件夹计为“已重命名”，"
       "本来就是原样的计为“未改动”。");
inline constexpr const char* kModesLine = N_("匹配模式：{}");
inline constexpr const char* kNothingSelected = N_(
    "没有选中任何文件：文件夹中没有文件名符合所给的文件后缀（后缀用分号分隔，如 *.txt;*.htm）。");
inline constexpr const char* kUndoDryRunNote =
    N_("演练（--undo --dry-run）：以下是撤销将会恢复的文件和改回原名的文件夹，"
       "没有改动任何东西。");
// The default rules files are wanted, but the user has no config folder.
inline constexpr const char* kNoConfigFolder =
    N_("找不到用户的配置文件夹：XDG_CONFIG_HOME 和 HOME 都没有设置为绝对路径，"
       "用户数据库中也没有主目录。请设置 HOME，或用 --rules / --rename-rules 指定规则文件。");
inline constexpr const char* kTwoRulesOnStdin =
    N_("--rules 和 --rename-rules 不能同时从标准输入读取。");
inline constexpr const char* kRulesOnStdinNeedYes =
    N_("规则从标准输入读取时无法再在标准输入上询问确认，未做任何改动。确认要执行请加 --yes"
       "（先看看会改动什么：--dry-run --diff）。");
inline constexpr const char* kUsageHint = N_("用 vexa-cli --help 查看用法。");
inline constexpr const char* kStdoutFailed = N_("vexa-cli: 写入标准输出失败");
inline constexpr const char* kSuffixNotInCodePage =
    N_("文件后缀含有工作代码页无法表示的字符，未做任何改动。");
inline constexpr const char* kChoiceNotInCodePage =
    N_("规则、--glob 或 --exclude 含有工作代码页无法表示的字符，未做任何改动。");
inline constexpr const char* kBinaryListed = N_("二进制文件：");

inline constexpr const char* kHelpText = N_(R"(用法 Usage: vexa-cli [选项] 目录 文件后缀
                  vexa-cli [OPTIONS] FOLDER SUFFIXES
                  vexa-cli --undo [-y] [-n] [-l] 目录
                  vexa-cli --journal | --forget 目录

在 目录 中按文本替换规则改写所选文件，并可按重命名规则重命名子文件夹。
与 Korvane 对话框是同一个任务，只是不开窗口。
Rewrites text in the selected files of FOLDER by the replacement rules and
can rename its subfolders by the rename rules: the dialog's job, headless.

参数 Arguments:
  目录 FOLDER         要处理的文件夹（它本身从不被重命名）
  文件后缀 SUFFIXES   以分号分隔的模式，例如 "*.txt;*.htm"；"*.*" 选中所有文件。
                      只看名称中第一个点与第二个点之间的部分，区分大小写：
                      a.tar.gz 的后缀是 tar，NOTES.TXT 不匹配 *.txt。

选项 Options（可写在参数前后；长选项可写 --name=value 或唯一的缩写；-- 之后都是参数）:
  -s, --sub                 包含子目录 (include subfolders)
  -R, --rename              按重命名规则重命名子文件夹；只在 -s 时生效，没有 -s 时
                            仍会读取并检查重命名规则 (rename subfolders; needs -s)
  -i, --ignore-case         不区分大小写，按 Unicode 大小写（Colour 也匹配 colour）
                            (ignore case, by Unicode case)
  -w, --word                全字匹配：查找内容前后都不能是字母、数字或下划线
                            (whole words: no letter, digit or _ on either side)
  -E, --regex               查找内容是 Perl 语法的正则表达式；替换内容中 $1…$9、
                            ${名称} 表示分组，$$ 表示 $ (Perl regular expressions)
      --rules FILE          文本替换规则文件 (replacement rules; default below)
      --rename-rules FILE   文件夹重命名规则文件 (rename rules; default below)
                            FILE 为 - 时从标准输入读取（管道等也可以），此时必须
                            加 --yes；两者不能同时从标准输入读取
                            (- reads standard input; then --yes is required)
  -n, --dry-run             演练：读取所有所选文件、在内存中套用规则、模拟重命名，
                            但不写任何文件、不重命名任何文件夹 (change nothing)
  -y, --yes                 不询问确认 (do not ask for confirmation)
  -l, --list                在标准输出逐行列出改写的文件，以及重命名的文件夹
                            "旧路径 -> 新路径" (one line per change, on stdout)
      --diff                在标准输出逐个文件打印统一格式差异 (unified diff)，
                            内容按本地字符集输出，无法显示的字符和控制字符写作
                            \uXXXX；换行符有变化时在行尾显示 ␍ (CR) 和 ␊ (LF)
                            (a unified diff per changed file; \uXXXX for what the
                            locale cannot show; a changed line break shows as ␍ ␊)
      --color WHEN          --diff 的颜色：auto（默认：输出到终端时着色，设置了 NO_COLOR
                            时不着色）、always 或 never
                            (colour the diff: auto, always or never)
  -q, --quiet               不显示进度行；标准错误不是终端或 TERM=dumb 时也不显示
                            (no progress line; never on a non-terminal or TERM=dumb)
  -j, --jobs N              用 N 个线程改写文件 (1-256)；默认每个处理器一个。
                            输出与 -j 1 完全相同 (threads that rewrite files;
                            default one per processor; same output as -j 1)
      --no-undo             不写撤销日志，执行后无法撤销（大目录树略快）
                            (keep no undo journal: the run cannot be undone)
  -e, --rule 'FIND`REPL'    命令行上的一条替换规则，写法同规则文件的一行（^ 表示换行），
                            可重复；在 --rules 的规则之后套用；只用 -e 时不读取默认
                            规则文件 (a replacement rule; repeatable; after --rules)
      --rename-rule 'OLD`NEW'
                            命令行上的一条重命名规则，同上 (a rename rule, likewise)
  -g, --glob PATTERN        再按整个名称选择文件，可重复：* 任意字符（不含 /）、? 一个
                            字符、[...] 字符集、**/ 任意层文件夹；不含 / 的模式匹配
                            名称，含 / 的匹配相对于 目录 的路径。给出 --glob 时可省略
                            文件后缀；符合文件后缀或任一 --glob 的文件被选中
                            (select whole names too; SUFFIXES may then be left out)
      --exclude PATTERN     跳过匹配的文件和文件夹（不进入），写法同 --glob；以 / 结尾
                            只匹配文件夹 (pass over matching files and folders)
      --files-from FILE     只处理 FILE 中列出的文件，不遍历目录：每行一个路径（相对于
                            当前目录或绝对路径），FILE 为 - 时从标准输入读取。目录之外
                            或经过符号链接的路径被跳过并列出（退出状态 1）。不需要
                            文件后缀，不能与 -R、--glob、--exclude 同用
                            (exactly the listed files, e.g. from rg -l or git ls-files)
  -0, --null                --files-from 的路径以零字节分隔 (git ls-files -z, rg -l -0)
      --json                在标准输出每行一个 JSON 对象（JSON Lines，见 man vexa-cli）：
                            每项改动或问题一个，最后一个摘要 (output for scripts)
      --undo 目录           撤销该目录上最近一次执行 (undo the folder's last run);
                            可加 -y、-n（只列出将恢复什么）、-l
      --journal             列出保存的撤销日志及其占用空间 (list undo journals)
      --forget 目录         删除该目录的撤销日志 (delete the folder's journal)
  -h, --help                显示本帮助 (this help)
  -V, --version             显示版本 (version)

规则文件 Rules files
  纯文本，使用本地字符集，每行一条规则，用反引号 ` 分隔两部分：
  文本替换规则   查找文本`替换文本      例如  colour`color
      "^" 表示换行 (CR LF)；替换文本为空即删除查找文本；查找文本为空的行被忽略。
      规则按行的顺序逐条套用，每条作用于前面各条的结果。
  文件夹重命名规则   旧名称`新名称      例如  old`new
      名称完全相同（区分大小写）才重命名；已存在的文件夹从不被覆盖。
  默认文件 (the dialog's own files; XDG_CONFIG_HOME moves them):
      ~/.config/Vexa/vexa_文本替换规则.txt
      ~/.config/Vexa/vexa_文件夹重命名规则.txt
  vexa-cli 只读取规则文件，从不创建或修改它们，也不读写对话框的设置。

匹配模式 Match modes (-i, -w, -E；对话框中的 区分大小写、全字匹配、正则表达式)
  默认逐字节比较。打开任一模式时，文件先解码为 Unicode 再匹配，多字节字符（GBK、
  Shift_JIS、Big5）绝不会从中间被匹配。-E 时 ^ 和 $ 匹配每行的开头和结尾，. 不匹配
  换行；查找内容中的 ^ 是正则的 ^，换行写作 \r\n；替换内容中的 ^ 仍表示换行。
  无法编译的规则使执行被拒绝，并指出行号和原因。回溯过多的模式跳过该文件并说明
  原因，执行继续；这些模式下超过 64 MiB 的文件被跳过，摘要中写明所用的模式。
  With a mode on, text is matched decoded, never inside a multibyte character.
  With -E, ^ and $ match at every line, "." matches no line end, a line break
  in a find text is written \r\n. A pattern that backtracks too much skips
  the file; files over 64 MiB are skipped in these modes.

执行 Running
  不带 --yes 时会在终端上询问确认 (y/yes 继续)；
  标准输入不是终端时必须加 --yes。只有内容确实改变的文件才会被写回；
  文件保持原有编码 (UTF-16 LE/BE、带 BOM 的 UTF-8 或本地字符集) 和换行符，
  每个文件原子替换，失败时原文件不变。无法安全改写的文件会被跳过并在摘要中列出。
  符号链接从不跟随（摘要中计数），.git、.hg、.svn 文件夹从不进入，规则文件和
  设置文件从不改写。--list 和摘要中含控制字符、反斜杠、双引号或 " -> " 的名称
  按 C 语言转义加引号输出。
  Links are never followed (the summary counts them); .git, .hg and .svn are
  never entered; unusual names are printed quoted with C escapes.
  Ctrl-C 与对话框的"停止"按钮相同：当前文件处理完毕后停止，不会留下写了一半的
  文件；已经进入的文件夹在退出时仍按规则重命名。然后打印摘要，以 130 退出。
  Ctrl-C finishes the file in hand, still renames the folders already walked
  into, prints the summary and exits 130.
  结束时在标准错误上打印摘要：所选、改写、未改动、跳过（含原因和路径）的文件数，
  重命名和重命名失败的文件夹数。
  每个文件夹中的条目按名称的字节顺序处理（文件和子文件夹混在一起排序），
  所以列表、结果和撤销日志在任何文件系统上、任何 -j 下顺序都相同。
  含有查找文本又含有零字节的文件（开头不是 UTF-16 字节顺序标记）是二进制文件：
  不改动，单独计数和列出，不影响退出状态。
  Entries are handled in the byte order of their names. A file that holds a
  find text and a zero byte is binary: left alone, counted, not a problem.

撤销 Undo
  每次执行（不加 --no-undo、不是演练）都在 $XDG_DATA_HOME/Vexa/journal/（默认
  ~/.local/share/Vexa/journal/）记下它做的每个改动，并在改动之前保留原文件：
  与日志同一文件系统时只是多一个硬链接，不占空间；否则复制一份（所有副本合计
  不超过 2 GiB，超出时先删除其他目录最旧的日志，仍不够则该文件不改写并说明原因）。
  每个目录只保留最近一次执行的日志；在该目录上的下一次执行改动第一个文件之前
  删除它。vexa-cli --undo 目录 从最后一个改动开始倒序恢复：文件内容仍与执行结果
  完全相同（同一文件、同一散列）才换回原文件（内容、权限、属主、扩展属性）；
  文件夹仍在新名称下且旧名称空闲才改回原名。执行之后又被改动的文件或文件夹
  不会被恢复，而是在摘要中列出：撤销从不覆盖之后的改动。保留的原文件只有内容
  与执行时记下的散列相符才换回；执行后改过的权限保持不变。日志的每一行都带校验：
  损坏的日志（第 N 行）不被执行，撤销退出状态为 1，日志保留，在用 --forget 删除
  之前该目录上的执行也会被拒绝。撤销是安全网，不是备份：重要的文件仍请先备份。
  同一目录（或其上层、下层目录）上同时只能有一个执行或撤销，其他的会被拒绝。
  被终止的执行留下的临时文件在下一次执行或撤销时按日志清除，并提示可以撤销。
  Every run keeps a journal (originals hard-linked, or copied up to 2 GiB in
  all); --undo restores files still exactly as the run left them and renames
  folders back, newest change first, and lists what changed since. An
  original comes back only when its bytes match the hash the run recorded; a
  damaged journal is reported (exit 1) and kept until --forget removes it.

退出状态 Exit status
  0     所选的一切都已处理；略过的链接不算问题 (everything selected was handled)
  1     运行结束，但有文件或文件夹被跳过或失败 (something was skipped or failed)
  2     输入被拒绝、未确认或用法错误 (input refused, declined, or wrong usage)
  130   被 Ctrl-C 停止 (stopped by Ctrl-C)

示例 Examples
  vexa-cli -s -n -l ~/site '*.htm;*.css'      先演练，列出会改动的文件
  vexa-cli -s -n --diff ~/site '*.htm'        先演练，显示每个文件的改动
  printf 'colour`color\n' | vexa-cli --rules - -y ~/site '*.txt'
  vexa-cli -y -e 'colour`color' -s -g '*.min.js' --exclude node_modules ~/site
  git ls-files -z | vexa-cli --files-from - -0 -y -e 'foo`bar' .
  vexa-cli -s -y ~/site '*.htm;*.css'         执行，不再询问
  vexa-cli -s -R --rules r.txt --rename-rules d.txt ~/site '*.*'
  vexa-cli --undo -n -l ~/site                先看撤销会恢复什么
  vexa-cli --undo -y ~/site                   撤销上次执行
)");

// Added to the help on Windows.
inline constexpr const char* kWindowsHelpText = R"(
在 Windows 上 On Windows
  默认规则文件在 %APPDATA%\Vexa\ 中；本地字符集即系统的 ANSI 代码页 (GetACP)。
  名称在工作代码页中没有完全相同的写法时，不匹配任何后缀或重命名规则。
  输出到控制台时以 Unicode 显示；重定向到管道或文件时为 UTF-8。
  名称中不成对的代理项写作 \uXXXX。重命名规则中的名称不得含有 \ : * ? " < > |，
  不得以点或空格结尾，也不得是 CON、NUL、COM1 等设备名。
  The rules files live in %APPDATA%\Vexa\; text goes to a console as
  Unicode and to a pipe or a file as UTF-8; a lone surrogate in a name is
  printed as \uXXXX.
)";
