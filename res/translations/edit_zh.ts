<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CMainFrame</name>
    <message>
        <source>&amp;Undo</source>
        <translation>撤销(&amp;U)</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Undo the last change</source>
        <translation>撤销上一次修改</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>重做(&amp;R)</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>重做</translation>
    </message>
    <message>
        <source>Redo the change undone last</source>
        <translation>重做上一次撤销的修改</translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation>撤销(&amp;U) %1</translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation>重做(&amp;R) %1</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <source>Copy the selected cells and clear them</source>
        <translation>复制所选单元格并清除它们</translation>
    </message>
    <message>
        <source>Cop&amp;y</source>
        <translation>复制(&amp;Y)</translation>
    </message>
    <message>
        <source>Copy the selected cells as text a spreadsheet reads</source>
        <translation>把所选单元格复制为电子表格可读的文本</translation>
    </message>
    <message>
        <source>Copy with Headin&amp;gs</source>
        <translation>连同标题复制(&amp;G)</translation>
    </message>
    <message>
        <source>Copy the selected cells after a line of headings</source>
        <translation>复制所选单元格，首行为列标题</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <source>Paste cells copied here or in a spreadsheet</source>
        <translation>粘贴从本程序或电子表格复制的单元格</translation>
    </message>
    <message>
        <source>Cl&amp;ear	Del</source>
        <translation>清除(&amp;E)	Del</translation>
    </message>
    <message>
        <source>Clear the selected cells</source>
        <translation>清除所选单元格</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>全选(&amp;A)</translation>
    </message>
    <message>
        <source>Select every channel</source>
        <translation>选中所有信道</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>查找(&amp;F)...</translation>
    </message>
    <message>
        <source>Find a channel by name or frequency</source>
        <translation>按名字或频率查找信道</translation>
    </message>
    <message>
        <source>Find Ne&amp;xt</source>
        <translation>查找下一个(&amp;X)</translation>
    </message>
    <message>
        <source>Find the next channel that matches</source>
        <translation>查找下一个相符的信道</translation>
    </message>
    <message>
        <source>&amp;Insert Empty Channel</source>
        <translation>插入空信道(&amp;I)</translation>
    </message>
    <message>
        <source>Insert empty channels before the selected ones</source>
        <translation>在所选信道前插入空信道</translation>
    </message>
    <message>
        <source>&amp;Delete Channels</source>
        <translation>删除信道(&amp;D)</translation>
    </message>
    <message>
        <source>Delete the selected channels; the following move up</source>
        <translation>删除所选信道，后面的信道上移</translation>
    </message>
    <message>
        <source>Mo&amp;ve Up</source>
        <translation>上移(&amp;V)</translation>
    </message>
    <message>
        <source>Move the selected channels up</source>
        <translation>把所选信道上移</translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <translation>下移(&amp;W)</translation>
    </message>
    <message>
        <source>Move the selected channels down</source>
        <translation>把所选信道下移</translation>
    </message>
    <message>
        <source>Clear Cha&amp;nnels</source>
        <translation>清空信道(&amp;N)</translation>
    </message>
    <message>
        <source>Empty the selected channels</source>
        <translation>清空所选信道</translation>
    </message>
    <message>
        <source>by &amp;Rx Frequency</source>
        <translation>按接收频率(&amp;R)</translation>
    </message>
    <message>
        <source>Sort the selected channels by receive frequency</source>
        <translation>按接收频率对所选信道排序</translation>
    </message>
    <message>
        <source>by &amp;Name</source>
        <translation>按名字(&amp;N)</translation>
    </message>
    <message>
        <source>Sort the selected channels by name</source>
        <translation>按名字对所选信道排序</translation>
    </message>
    <message>
        <source>by &amp;Tone</source>
        <translation>按信令(&amp;T)</translation>
    </message>
    <message>
        <source>Sort the selected channels by receive tone</source>
        <translation>按接收信令对所选信道排序</translation>
    </message>
    <message>
        <source>Fi&amp;ll Down</source>
        <translation>向下填充(&amp;L)</translation>
    </message>
    <message>
        <source>Copy the first selected row into the rest of the selection</source>
        <translation>把所选的第一行复制到其余所选行</translation>
    </message>
    <message>
        <source>&amp;6.25 kHz</source>
        <translation>&amp;6.25 kHz</translation>
    </message>
    <message>
        <source>Step the frequencies of the selected rows by 6.25 kHz</source>
        <translation>所选各行的频率按 6.25 kHz 递增</translation>
    </message>
    <message>
        <source>&amp;12.5 kHz</source>
        <translation>&amp;12.5 kHz</translation>
    </message>
    <message>
        <source>Step the frequencies of the selected rows by 12.5 kHz</source>
        <translation>所选各行的频率按 12.5 kHz 递增</translation>
    </message>
    <message>
        <source>&amp;25 kHz</source>
        <translation>&amp;25 kHz</translation>
    </message>
    <message>
        <source>Step the frequencies of the selected rows by 25 kHz</source>
        <translation>所选各行的频率按 25 kHz 递增</translation>
    </message>
    <message>
        <source>Sort C&amp;hannels</source>
        <translation>信道排序(&amp;H)</translation>
    </message>
    <message>
        <source>Fill &amp;Series</source>
        <translation>序列填充(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Import Channels</source>
        <translation>导入信道(&amp;I)</translation>
    </message>
    <message>
        <source>From &amp;File...</source>
        <translation>从文件(&amp;F)...</translation>
    </message>
    <message>
        <source>&amp;Stock lists</source>
        <translation>常用频道表(&amp;S)</translation>
    </message>
    <message>
        <source>Import the channels of this stock list, after a preview (%1)</source>
        <translation>预览后导入此常用频道表的信道 (%1)</translation>
    </message>
    <message>
        <source>No stock lists found</source>
        <translation>未找到常用频道表</translation>
    </message>
    <message>
        <source>&amp;Import Channels...</source>
        <translation>导入信道(&amp;I)...</translation>
    </message>
    <message>
        <source>Replace the channels with those of a CSV file, after a preview</source>
        <translation>预览后用 CSV 文件中的信道替换当前信道</translation>
    </message>
    <message>
        <source>&amp;Export Channels...</source>
        <translation>导出信道(&amp;E)...</translation>
    </message>
    <message>
        <source>Write the channels to a CSV file</source>
        <translation>把信道写入 CSV 文件</translation>
    </message>
    <message>
        <source>Recent &amp;Files</source>
        <translation>最近的文件(&amp;F)</translation>
    </message>
    <message>
        <source>No recent files</source>
        <translation>没有最近的文件</translation>
    </message>
    <message>
        <source>%1 no longer exists; it is taken off the recent files.</source>
        <translation>%1 已不存在，已从最近的文件中移除。</translation>
    </message>
    <message>
        <source>Set Selected Cells...</source>
        <translation>设置所选单元格...</translation>
    </message>
    <message>
        <source>Set every selected cell of one column to one value (in a cell: type it, then Ctrl+Enter)</source>
        <translation>把同一列的所有所选单元格设为同一个值（在单元格中：输入后按 Ctrl+Enter）</translation>
    </message>
    <message>
        <source>a radio document (.dat) or a channel list (.csv)</source>
        <translation>电台文档（.dat）或信道列表（.csv）</translation>
    </message>
    <message numerus="yes">
        <source>%n files were dropped: drop one file at a time, %1.</source>
        <translation>
            <numerusform>放入了 %n 个文件：请一次只放入一个文件，即%1。</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is not a file on this computer: drop %2.</source>
        <translation>%1 不是本机上的文件：请放入%2。</translation>
    </message>
    <message>
        <source>%1 is a folder: drop %2.</source>
        <translation>%1 是文件夹：请放入%2。</translation>
    </message>
    <message>
        <source>%1 is a channel list: drop it on the window of the configuration it goes into, and it is imported there after a preview.</source>
        <translation>%1 是信道列表：请把它放到要导入的配置窗口上，预览后即导入该窗口。</translation>
    </message>
    <message>
        <source>%1 was not opened: drop %2.</source>
        <translation>未打开 %1：请放入%2。</translation>
    </message>
    <message>
        <source>%1 is %2 bytes long, longer than a radio image: only its first %3 bytes were opened, and saving it keeps those alone.</source>
        <translation>%1 长 %2 字节，超过电台映像的长度：只打开了其前 %3 字节，保存时也只保留这些字节。</translation>
    </message>
</context>
<context>
    <name>CProgramDoc</name>
    <message>
        <source>Save changes to %1?</source>
        <translation>是否保存对 %1 的修改？</translation>
    </message>
    <message>
        <source>a new document, made at %1</source>
        <translation>新建的配置，创建于 %1</translation>
    </message>
</context>
<context>
    <name>CProgramView</name>
    <message>
        <source>Band Limits</source>
        <translation>频段范围</translation>
    </message>
    <message>
        <source>Pr, %1</source>
        <translation>Pr，%1</translation>
    </message>
    <message>
        <source>Channel %1, %2</source>
        <translation>信道 %1，%2</translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation>编辑 %1</translation>
    </message>
    <message numerus="yes">
        <source>Cut %n channel(s)</source>
        <translation>
            <numerusform>剪切 %n 个信道</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Clear %n channel(s)</source>
        <translation>
            <numerusform>清除 %n 个信道</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Paste %n channel(s)</source>
        <translation>
            <numerusform>粘贴 %n 个信道</numerusform>
        </translation>
    </message>
    <message>
        <source>Not pasted:</source>
        <translation>未粘贴：</translation>
    </message>
    <message>
        <source>Not filled:</source>
        <translation>未填充：</translation>
    </message>
    <message>
        <source>Not changed:</source>
        <translation>未修改：</translation>
    </message>
    <message numerus="yes">
        <source>%1 %n cell(s)</source>
        <translation>
            <numerusform>%1 %n 个单元格</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the channel's %n other cell(s) were not entered either</source>
        <translation>
            <numerusform>；该信道的其余 %n 个单元格也未填入</numerusform>
        </translation>
    </message>
    <message>
        <source>"%1" is not a frequency (megahertz with up to five decimals, e.g. 145.125; "MHz" or "M" may follow)</source>
        <translation>“%1”不是频率（以兆赫为单位，最多五位小数，例如 145.125；数字后可带“MHz”或“M”）</translation>
    </message>
    <message>
        <source>"%1" is out of range: %2</source>
        <translation>“%1”超出范围：%2</translation>
    </message>
    <message>
        <source>"%1": %2</source>
        <translation>“%1”：%2</translation>
    </message>
    <message>
        <source>"%1" is stored as "%2". %3</source>
        <translation>“%1”存储为“%2”。%3</translation>
    </message>
    <message numerus="yes">
        <source>Stored otherwise than given: %n name(s)</source>
        <translation>
            <numerusform>与给出的不同而存储：%n 个名字</numerusform>
        </translation>
    </message>
    <message>
        <source>"%1" is not one of this column's items</source>
        <translation>“%1”不是本列的选项</translation>
    </message>
    <message>
        <source>"%1" needs a channel with an Rx Frequency</source>
        <translation>“%1”需要信道先有接收频率</translation>
    </message>
    <message>
        <source>"%1" lies outside the grid</source>
        <translation>“%1”超出表格范围</translation>
    </message>
    <message numerus="yes">
        <source>%n cell(s) beyond the last channel or column were left out.</source>
        <translation>
            <numerusform>超出最后信道或最后一列的 %n 个单元格未被使用。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Channel %1 is in use: inserting %n empty channel(s) would push it off the end. Delete or move the last channels first.</source>
        <translation>
            <numerusform>信道 %1 已在使用：插入 %n 个空信道会把它挤出末尾。请先删除或移动最后的信道。</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Insert %n Empty Channel(s)</source>
        <translation>
            <numerusform>插入 %n 个空信道</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete %n Channel(s)</source>
        <translation>
            <numerusform>删除 %n 个信道</numerusform>
        </translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation>上移</translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation>下移</translation>
    </message>
    <message>
        <source>Sort by Rx Frequency</source>
        <translation>按接收频率排序</translation>
    </message>
    <message>
        <source>Sort by Name</source>
        <translation>按名字排序</translation>
    </message>
    <message>
        <source>Sort by Tone</source>
        <translation>按信令排序</translation>
    </message>
    <message>
        <source>Fill Down</source>
        <translation>向下填充</translation>
    </message>
    <message>
        <source>Fill Series</source>
        <translation>序列填充</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>查找</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>查找下一个</translation>
    </message>
    <message>
        <source>A channel name, or a frequency (145.5 finds 145.50000):</source>
        <translation>信道名字或频率（145.5 可找到 145.50000）：</translation>
    </message>
    <message>
        <source>No channel matches "%1".</source>
        <translation>没有与“%1”相符的信道。</translation>
    </message>
    <message>
        <source>Channel grid, as progtool export (*.csv)</source>
        <translation>信道表格，与 progtool export 相同 (*.csv)</translation>
    </message>
    <message>
        <source>Channel list, Location,Name,Frequency,... (*.csv)</source>
        <translation>信道列表，Location,Name,Frequency,... (*.csv)</translation>
    </message>
    <message>
        <source>Import Channels</source>
        <translation>导入信道</translation>
    </message>
    <message>
        <source>Export Channels</source>
        <translation>导出信道</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>%1 cannot be imported: %2</source>
        <translation>无法导入 %1：%2</translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message numerus="yes">
        <source>A value is set in the cells of one column at a time, and the selection spans %n column(s) (%1). Nothing was changed: select cells of one column.</source>
        <translation>
            <numerusform>一次只能为同一列的单元格设置一个值，而所选内容跨越 %n 列（%1）。未作任何更改：请只选择同一列的单元格。</numerusform>
        </translation>
    </message>
    <message>
        <source>Not set:</source>
        <translation>未设置：</translation>
    </message>
    <message numerus="yes">
        <source>Set %n cell(s)</source>
        <translation>
            <numerusform>设置 %n 个单元格</numerusform>
        </translation>
    </message>
    <message>
        <source>Set Selected Cells</source>
        <translation>设置所选单元格</translation>
    </message>
    <message numerus="yes">
        <source>%1 of the %n selected cell(s):</source>
        <translation>
            <numerusform>所选 %n 个单元格的%1：</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A channel name holds up to %n character(s), each A-Z, 0-9, - or _; letters are stored in upper case.</source>
        <translation>
            <numerusform>信道名字最多可存 %n 个字符，每个字符为 A-Z、0-9、- 或 _；字母以大写存储。</numerusform>
        </translation>
    </message>
    <message>
        <source>Empty clears the names.</source>
        <translation>留空则清除名称。</translation>
    </message>
    <message>
        <source>Megahertz, e.g. 145.125; empty clears the cells (an empty Rx Frequency empties its channel).</source>
        <translation>以兆赫为单位，例如 145.125；留空则清除这些单元格（接收频率为空即清空该信道）。</translation>
    </message>
    <message numerus="yes">
        <source>Move %n Channel(s)</source>
        <translation>
            <numerusform>移动 %n 个信道</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was moved: %1 keeps every channel dragged.</source>
        <translation>未移动任何信道：%1 保留了所拖动的全部信道。</translation>
    </message>
    <message>
        <source>Not dropped:</source>
        <translation>未放入：</translation>
    </message>
    <message numerus="yes">
        <source>Move %n Channel(s) Here</source>
        <translation>
            <numerusform>移入 %n 个信道</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Drop %n Channel(s)</source>
        <translation>
            <numerusform>放入 %n 个信道</numerusform>
        </translation>
    </message>
    <message>
        <source>The channels were copied, not moved: %1 takes no change while its transfer runs, so it keeps them.</source>
        <translation>信道已复制而未移动：%1 正在传输，传输期间不接受更改，因此保留这些信道。</translation>
    </message>
    <message numerus="yes">
        <source>Move %n Channel(s) to %1</source>
        <translation>
            <numerusform>移动 %n 个信道到 %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>COptionFeaturesDlg</name>
    <message>
        <source>Optional Features</source>
        <translation>可选功能</translation>
    </message>
</context>
<context>
    <name>CLinkController</name>
    <message>
        <source>Read</source>
        <translation>读频</translation>
    </message>
</context>
<context>
    <name>CImportPreviewDlg</name>
    <message>
        <source>Import Channels</source>
        <translation>导入信道</translation>
    </message>
    <message>
        <source>Importing %1 replaces the channels on screen:</source>
        <translation>导入 %1 将替换屏幕上的信道：</translation>
    </message>
    <message numerus="yes">
        <source>%n channel(s) added</source>
        <translation>
            <numerusform>新增 %n 个信道</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed</source>
        <translation>
            <numerusform>修改 %n 个</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n emptied (not in the file)</source>
        <translation>
            <numerusform>清空 %n 个（文件中没有）</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) refused</source>
        <translation>
            <numerusform>拒绝 %n 行</numerusform>
        </translation>
    </message>
    <message>
        <source>Line %1, refused: %2</source>
        <translation>第 %1 行，拒绝：%2</translation>
    </message>
    <message>
        <source>Line %1, changed: %2</source>
        <translation>第 %1 行，有改动：%2</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>导入</translation>
    </message>
    <message>
        <source>Where the rows go</source>
        <translation>导入位置</translation>
    </message>
    <message>
        <source>Renumber from channel</source>
        <translation>从信道重新编号</translation>
    </message>
    <message>
        <source>Replace all channels (those not in the file become empty)</source>
        <translation>替换全部信道（文件中没有的信道将清空）</translation>
    </message>
    <message>
        <source>Merge: keep the channels the file does not carry</source>
        <translation>合并：保留文件中没有的信道</translation>
    </message>
    <message>
        <source>Importing %1 merges into the channels on screen:</source>
        <translation>导入 %1 将合并到屏幕上的信道：</translation>
    </message>
    <message>
        <source>Changed: %1</source>
        <translation>修改：%1</translation>
    </message>
    <message>
        <source>Refused: %1</source>
        <translation>拒绝：%1</translation>
    </message>
    <message>
        <source>name shortened</source>
        <translation>名称被截短</translation>
    </message>
    <message>
        <source>name in upper case</source>
        <translation>名称改为大写</translation>
    </message>
    <message>
        <source>power mapped from watts</source>
        <translation>功率由瓦数换算</translation>
    </message>
    <message>
        <source>other change</source>
        <translation>其他修改</translation>
    </message>
    <message>
        <source>outside the radio&apos;s bands</source>
        <translation>超出电台频段</translation>
    </message>
    <message>
        <source>off the 2.5 kHz and 6.25 kHz steps</source>
        <translation>不在 2.5 kHz 或 6.25 kHz 步进上</translation>
    </message>
    <message>
        <source>mode the radio cannot do</source>
        <translation>电台不支持的模式</translation>
    </message>
    <message>
        <source>tone or code the radio cannot hold</source>
        <translation>电台不支持的亚音频或数字亚音码</translation>
    </message>
    <message>
        <source>location outside 0-199</source>
        <translation>位置不在 0-199 之内</translation>
    </message>
    <message>
        <source>no channel left</source>
        <translation>没有剩余信道</translation>
    </message>
    <message>
        <source>channel given twice</source>
        <translation>信道重复</translation>
    </message>
    <message>
        <source>bad value</source>
        <translation>无效的值</translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) imported</source>
        <translation>
            <numerusform>导入 %n 行</numerusform>
        </translation>
    </message>
    <message>
        <source>Caution: this empties %1 of the %2 channels in use. Is it the right file, and complete?</source>
        <translation>注意：导入将清空正在使用的 %2 个信道中的 %1 个。文件是否正确、完整？</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more line(s), counted in the summary</source>
        <translation>
            <numerusform>……另有 %n 行未列出，已计入汇总</numerusform>
        </translation>
    </message>
    <message>
        <source>Cop&amp;y</source>
        <translation>复制(&amp;Y)</translation>
    </message>
    <message numerus="yes">
        <source>%n channel(s) receive only: no Tx frequency.</source>
        <translation>
            <numerusform>%n 个信道仅接收：没有发射频率。</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Notes in the file:</source>
        <translation>文件中的说明(&amp;N)：</translation>
    </message>
    <message>
        <source>Changed and refused lines</source>
        <translation>有改动和被拒绝的行</translation>
    </message>
    <message>
        <source>Every channel is receive only: no Tx frequency, nothing to transmit on.</source>
        <translation>所有信道都仅接收：没有发射频率，不能用来发射。</translation>
    </message>
    <message>
        <source>No line is changed or refused.</source>
        <translation>没有行被改动或拒绝。</translation>
    </message>
    <message>
        <source>Notes in the file</source>
        <translation>文件中的说明</translation>
    </message>
    <message>
        <source>Replacing the channels with those of %1 empties %2 of the %3 channels in use (the file gives %4).
Replace them all the same? Merge keeps the channels the file does not carry.</source>
        <translation>用 %1 的信道替换会清空正在使用的 %3 个信道中的 %2 个（文件给出 %4 个）。
仍然替换吗？合并则保留文件中没有的信道。</translation>
    </message>
</context>
</TS>
