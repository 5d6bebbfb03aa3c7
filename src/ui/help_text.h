#pragma once
// The help text that F1 shows, UTF-8 HTML: what the tool does, the two
// rules-file formats with examples, where its files live, and undo with its
// limits. %1, %2 and %3 stand for the replacement rules file, the
// rename rules file and the settings file. Both dialogs show it; the Windows
// one as plain text.

inline constexpr const char* kHelpHtml =
    "<h3>Korvane 帮助</h3>"
    "<p>Korvane 批量替换文件中的文本，并可按规则重命名子文件夹。</p>"
    "<h4>使用方法</h4><ol>"
    "<li>在“所在目录”中指定要处理的文件夹。</li>"
    "<li>在“文件后缀”中填写后缀，用分号分隔，例如 <code>*.txt;*.htm</code>；"
    "<code>*.*</code> 表示所有文件。</li>"
    "<li>勾选“包含子目录”处理所有子文件夹；勾选“重命名文件夹”按重命名规则"
    "重命名子文件夹。</li>"
    "<li>点“开始”并确认后执行；执行中可点“停止”。</li></ol>"
    "<h4>规则文件</h4>"
    "<p>每行一条规则，两部分之间用反引号 <code>`</code> 分隔，按行的顺序依次应用。</p>"
    "<p>内容替换规则：<code>查找文本`替换文本</code>，例如：</p><ul>"
    "<li><code>colour`color</code>：把 colour 替换为 color</li>"
    "<li><code>行尾^下一行`行尾 下一行</code>：<code>^</code> 表示换行，"
    "这条规则把两行合并为一行</li>"
    "<li><code>废弃文字`</code>：替换文本为空，删除查找文本</li></ul>"
    "<p>文件夹重命名规则：<code>旧名称`新名称</code>，例如 "
    "<code>旧资料`新资料</code>。</p>"
    "<h4>文件位置</h4><ul>"
    "<li>内容替换规则：%1</li><li>文件夹重命名规则：%2</li><li>设置：%3</li></ul>"
    "<h4>撤销</h4>"
    "<p>每次执行都会记下它做的每个改动，并在改动前保留原文件（与撤销日志在同一"
    "文件系统时只多一个硬链接，不占空间；否则复制一份，所有副本合计不超过 2 GiB）。"
    "日志位于 <code>~/.local/share/Vexa/journal/</code>，每个文件夹只保留最近一次"
    "执行的日志。撤销（命令行：<code>vexa-cli --undo 目录</code>）从最后一个改动"
    "开始倒序恢复：内容仍与执行结果完全相同的文件换回原文件，仍在新名称下的文件夹"
    "改回原名。执行之后又被改动的文件和文件夹不会被恢复，只在结果中列出："
    "撤销从不覆盖之后的改动。同一文件夹（或其上层、下层文件夹）同时只能有一个"
    "执行。</p>"
    "<h4>注意</h4><p><b>撤销是安全网而不是备份：重要的文件请先自行备份！"
    "</b></p>";
