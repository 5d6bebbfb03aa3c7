#pragma once
// The help text that F1 shows, UTF-8 HTML: what the tool does, the two
// rules-file formats with examples, where its files live, and that a run
// cannot be undone. %1, %2 and %3 stand for the replacement rules file, the
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
    "<h4>注意</h4><p><b>替换操作无法撤销，请先自行备份文件！</b></p>";
