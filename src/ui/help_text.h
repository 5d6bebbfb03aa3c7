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
    "<code>*.*</code> 表示所有文件。后缀是文件名中第一个点与第二个点之间的部分，"
    "区分大小写：<code>jquery.min.js</code> 的后缀是 <code>min</code>，"
    "<code>*.js</code> 不会选中它；<code>a.TXT</code> 不会被 <code>*.txt</code> 选中。</li>"
    "<li>勾选“包含子目录”处理所有子文件夹；勾选“重命名文件夹”按重命名规则重命名子文件夹"
    "（只有同时勾选“包含子目录”时才会重命名）。</li>"
    "<li>点“预览”不改动任何文件，在结果窗口中列出将改写的文件和将重命名的文件夹；"
    "选中一个文件可查看它的改动。</li>"
    "<li>点“开始”并确认后执行；执行中可点“停止”。执行结束后，状态行下方显示统计，"
    "“结果”按钮打开结果窗口；有文件未能处理时结果窗口会自动打开。</li></ol>"
    "<h4>规则文件</h4>"
    "<p>每行一条规则，两部分之间用反引号 <code>`</code> 分隔，按行的顺序依次应用。</p>"
    "<p>内容替换规则：<code>查找文本`替换文本</code>，例如：</p><ul>"
    "<li><code>colour`color</code>：把 colour 替换为 color</li>"
    "<li><code>行尾^下一行`行尾 下一行</code>：<code>^</code> 代表 CR LF（Windows 的换行），"
    "这条规则把两行合并为一行。只用 LF 换行的文件（Linux 上常见）中没有 CR LF，"
    "含 <code>^</code> 的规则在这些文件中什么也匹配不到。</li>"
    "<li><code>废弃文字`</code>：替换文本为空，删除查找文本</li>"
    "<li>没有反引号的一行：整行都是查找文本，替换文本为空，即删除它。</li></ul>"
    "<p>文件夹重命名规则：<code>旧名称`新名称</code>，例如 <code>旧资料`新资料</code>。"
    "新名称已存在时不会重命名。</p>"
    "<h4>容量</h4><ul>"
    "<li>文件后缀最多 50 个，每个最多 10 个字节。</li>"
    "<li>每个规则文件最多 100 条规则；查找文本、替换文本和文件夹名各最多 200 个字节。</li>"
    "<li>超出时给出提示，不会执行。</li></ul>"
    "<h4>不会处理的内容</h4><ul>"
    "<li>符号链接不会被跟随、修改或重命名，统计中列出跳过的个数。</li>"
    "<li>版本控制文件夹 <code>.git</code>、<code>.hg</code>、<code>.svn</code> "
    "不会进入或重命名。</li>"
    "<li>正在使用的规则文件和设置文件不会被改写。</li></ul>"
    "<h4>文件位置</h4><ul>"
    "<li>内容替换规则：%1</li><li>文件夹重命名规则：%2</li><li>设置：%3</li></ul>"
    "<h4>注意</h4><p><b>替换操作无法撤销，请先自行备份文件！</b></p>";
