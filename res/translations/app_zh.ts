<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>CLanguageDlg</name>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>English</source>
        <translation>英文</translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>The language choice could not be saved: %1</source>
        <translation>无法保存语言选择：%1</translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Program Document (*.dat)</source>
        <translation>写频数据文件 (*.dat)</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>写频软件</translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation>新建(&amp;N)</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Create a new document</source>
        <translation>新建一份配置</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>打开(&amp;O)...</translation>
    </message>
    <message>
        <source>Open an existing document</source>
        <translation>打开已保存的配置文件</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>关闭(&amp;C)</translation>
    </message>
    <message>
        <source>Close the channel window</source>
        <translation>关闭信道窗口</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Save the active document</source>
        <translation>保存当前配置</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>另存为(&amp;A)...</translation>
    </message>
    <message>
        <source>Save the active document with a new name</source>
        <translation>以新文件名保存当前配置</translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation>打印(&amp;P)...</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Print the channel list and the options</source>
        <translation>打印信道表和功能设置</translation>
    </message>
    <message>
        <source>Print &amp;Direct</source>
        <translation>直接打印(&amp;D)</translation>
    </message>
    <message>
        <source>Print on the default printer</source>
        <translation>在默认打印机上打印</translation>
    </message>
    <message>
        <source>Print Pre&amp;view</source>
        <translation>打印预览(&amp;V)</translation>
    </message>
    <message>
        <source>Display full pages</source>
        <translation>显示整页打印效果</translation>
    </message>
    <message>
        <source>P&amp;rint Setup...</source>
        <translation>打印设置(&amp;R)...</translation>
    </message>
    <message>
        <source>Change the printer and printing options</source>
        <translation>更改打印机和打印选项</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>退出(&amp;X)</translation>
    </message>
    <message>
        <source>Quit the application</source>
        <translation>退出程序</translation>
    </message>
    <message>
        <source>&amp;Channel Information</source>
        <translation>信道信息(&amp;C)</translation>
    </message>
    <message>
        <source>Show the channel window</source>
        <translation>显示信道窗口</translation>
    </message>
    <message>
        <source>&amp;Optional Features</source>
        <translation>可选功能(&amp;O)</translation>
    </message>
    <message>
        <source>Edit the radio-wide options</source>
        <translation>编辑整机功能设置</translation>
    </message>
    <message>
        <source>Product Infor&amp;mation</source>
        <translation>类型设置(&amp;M)</translation>
    </message>
    <message>
        <source>Choose the radio type and frequency band</source>
        <translation>选择电台型号和频段</translation>
    </message>
    <message>
        <source>&amp;Read</source>
        <translation>读频(&amp;R)</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>读频</translation>
    </message>
    <message>
        <source>Read the whole memory from the radio</source>
        <translation>从电台读出全部数据</translation>
    </message>
    <message>
        <source>&amp;Write</source>
        <translation>写频(&amp;W)</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>写频</translation>
    </message>
    <message>
        <source>Write the whole memory to the radio</source>
        <translation>把全部数据写入电台</translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation>工具栏(&amp;T)</translation>
    </message>
    <message>
        <source>Show or hide the toolbar</source>
        <translation>显示或隐藏工具栏</translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation>状态栏(&amp;S)</translation>
    </message>
    <message>
        <source>Show or hide the status bar</source>
        <translation>显示或隐藏状态栏</translation>
    </message>
    <message>
        <source>&amp;Control Bar</source>
        <translation>控制栏(&amp;C)</translation>
    </message>
    <message>
        <source>Show or hide the navigation bar</source>
        <translation>显示或隐藏导航栏</translation>
    </message>
    <message>
        <source>&amp;Com Setup</source>
        <translation>串口设置(&amp;C)</translation>
    </message>
    <message>
        <source>Choose the serial port of the radio</source>
        <translation>选择电台所接的串口</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>语言(&amp;L)</translation>
    </message>
    <message>
        <source>Choose the language of the program</source>
        <translation>选择程序界面语言</translation>
    </message>
    <message>
        <source>&amp;About Program...</source>
        <translation>关于(&amp;A)...</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Display program information, version number and copyright</source>
        <translation>显示程序信息、版本号和版权</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>帮助(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>帮助主题(&amp;H)</translation>
    </message>
    <message>
        <source>Open the help contents</source>
        <translation>打开帮助目录</translation>
    </message>
    <message>
        <source>Next Pane</source>
        <translation>下一个窗格</translation>
    </message>
    <message>
        <source>Move to the next of the navigation tree, the band limits and the channel grid</source>
        <translation>移到导航树、频段范围和信道表格中的下一个</translation>
    </message>
    <message>
        <source>Previous Pane</source>
        <translation>上一个窗格</translation>
    </message>
    <message>
        <source>Move to the previous of the navigation tree, the band limits and the channel grid</source>
        <translation>移到导航树、频段范围和信道表格中的上一个</translation>
    </message>
    <message>
        <source>Next Window</source>
        <translation>下一个窗口</translation>
    </message>
    <message>
        <source>Switch to the next window</source>
        <translation>切换到下一个窗口</translation>
    </message>
    <message>
        <source>Previous Window</source>
        <translation>上一个窗口</translation>
    </message>
    <message>
        <source>Switch to the previous window</source>
        <translation>切换到上一个窗口</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>文件(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>视图(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Program</source>
        <translation>编程(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation>设置(&amp;S)</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>工具栏</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>就绪</translation>
    </message>
    <message>
        <source>CAP</source>
        <translation>大写</translation>
    </message>
    <message>
        <source>NUM</source>
        <translation>数字</translation>
    </message>
    <message>
        <source>SCRL</source>
        <translation>滚动</translation>
    </message>
    <message>
        <source>The document could not be saved.</source>
        <translation>无法保存文件。</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>另存为</translation>
    </message>
    <message>
        <source>The document could not be opened.</source>
        <translation>无法打开文件。</translation>
    </message>
    <message>
        <source>&amp;Backups...</source>
        <translation>备份(&amp;B)...</translation>
    </message>
    <message>
        <source>Log Serial &amp;Traffic...</source>
        <translation>记录串口通信(&amp;T)...</translation>
    </message>
    <message>
        <source>Log Serial Traffic</source>
        <translation>记录串口通信</translation>
    </message>
    <message>
        <source>Logging serial traffic to %1</source>
        <translation>正在把串口通信记录到 %1</translation>
    </message>
    <message>
        <source>Open a backup of what a radio held when it was read</source>
        <translation>打开读取电台时保存的备份</translation>
    </message>
    <message>
        <source>Port: %1</source>
        <translation>端口：%1</translation>
    </message>
    <message>
        <source>Serial trace (*.trace *.txt)</source>
        <translation>串口记录 (*.trace *.txt)</translation>
    </message>
    <message>
        <source>The backup could not be opened.</source>
        <translation>无法打开该备份。</translation>
    </message>
    <message>
        <source>The serial trace cannot be written to this file.</source>
        <translation>无法把串口记录写入该文件。</translation>
    </message>
    <message>
        <source>Write every byte sent to and received from the radio to a file</source>
        <translation>把发送给电台和从电台接收的每个字节写入文件</translation>
    </message>
    <message>
        <source>Port: %1, kept for the radio read in this window</source>
        <translation>端口：%1，为本窗口读出的电台保留</translation>
    </message>
    <message>
        <source> - not present</source>
        <translation>（不存在）</translation>
    </message>
    <message>
        <source>This window writes to the radio read in it. The other windows use %1, as chosen in COM Setup.</source>
        <translation>本窗口写入从中读出的电台。其他窗口使用串口设置中选择的%1。</translation>
    </message>
    <message>
        <source>Chosen in COM Setup for every window without a port of its own.</source>
        <translation>在串口设置中选择，用于所有没有自己端口的窗口。</translation>
    </message>
    <message>
        <source>Nothing was saved, and the program stays open.</source>
        <translation>没有保存任何配置，程序不退出。</translation>
    </message>
    <message>
        <source>The program stays open. Saved before it, and kept so: %1</source>
        <translation>程序不退出。此前已保存（保持已保存）：%1</translation>
    </message>
    <message>
        <source>%1 is open in another window of this program. Nothing was saved: choose another name, or close that window first.</source>
        <translation>%1 已在本程序的另一个窗口中打开。未保存任何内容：请另选文件名，或先关闭那个窗口。</translation>
    </message>
    <message>
        <source>opened from the backup %1</source>
        <translation>打开自备份 %1</translation>
    </message>
    <message>
        <source>Check Co&amp;nnection...</source>
        <translation>检查连接(&amp;N)...</translation>
    </message>
    <message>
        <source>Find out why the radio does not answer on its port, or which port the cable is</source>
        <translation>查明电台为何在其串口上不应答，或数据线接在哪个串口</translation>
    </message>
    <message>
        <source>Save Support &amp;Report...</source>
        <translation>保存支持报告(&amp;R)...</translation>
    </message>
    <message>
        <source>Show what a support report holds, then save it to attach to a bug report</source>
        <translation>显示支持报告的内容，然后保存以附到问题报告中</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>状态栏</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>菜单栏</translation>
    </message>
    <message>
        <source> (closed)</source>
        <translation>（已关闭）</translation>
    </message>
    <message>
        <source> (not for this radio type)</source>
        <translation>（不适用于本机型）</translation>
    </message>
    <message>
        <source>&quot;%1&quot; does not fit this radio type: %2. Nothing was imported.</source>
        <translation>“%1”不适用于本机型：%2。未导入任何内容。</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>层叠(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>平铺(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>窗口(&amp;W)</translation>
    </message>
    <message>
        <source>Arrange the document windows side by side</source>
        <translation>将文档窗口并排排列</translation>
    </message>
    <message>
        <source>Arrange the document windows so that they overlap</source>
        <translation>将文档窗口层叠排列</translation>
    </message>
    <message>
        <source>More toolbar buttons</source>
        <translation>更多工具栏按钮</translation>
    </message>
    <message>
        <source>Show this window in front</source>
        <translation>将此窗口显示在最前面</translation>
    </message>
</context>
<context>
    <name>CNavigationBar</name>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>导航</translation>
    </message>
</context>
<context>
    <name>AppMessageBox</name>
    <message>
        <source>Cop&amp;y</source>
        <translation>复制(&amp;Y)</translation>
    </message>
</context>
<context>
    <name>HelpAccess</name>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>后退</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>Contents</source>
        <translation>目录</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>No page contains &quot;%1&quot;.</source>
        <translation>没有页面包含“%1”。</translation>
    </message>
    <message>
        <source>Help page</source>
        <translation>帮助页面</translation>
    </message>
    <message>
        <source>Help toolbar</source>
        <translation>帮助工具栏</translation>
    </message>
    <message>
        <source>More toolbar buttons</source>
        <translation>更多工具栏按钮</translation>
    </message>
    <message>
        <source>Contents and search</source>
        <translation>目录和搜索</translation>
    </message>
    <message>
        <source>Search results</source>
        <translation>搜索结果</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>索引</translation>
    </message>
    <message>
        <source>Look for a topic</source>
        <translation>查找主题</translation>
    </message>
    <message>
        <source>Type the first letters</source>
        <translation>输入开头的字母</translation>
    </message>
    <message>
        <source>Search for</source>
        <translation>搜索内容</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>搜索(&amp;S)</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>不保存(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation>重试(&amp;R)</translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>Out of range,please input again.</source>
        <translation>超出范围，请重新输入。</translation>
    </message>
    <message>
        <source>Communication Error,Please check all the connections and the radio power</source>
        <translation>通讯错误，请检查所有连接和电台电源。</translation>
    </message>
    <message>
        <source>All data will be Cleared!</source>
        <translation>所有数据将被清除！</translation>
    </message>
    <message>
        <source>Could not Open the Port,Please check whether the Port are occupied or the device are ok</source>
        <translation>无法打开串口，请检查串口是否被占用或设备是否正常。</translation>
    </message>
    <message>
        <source>Program Interrupt, Please reset the radio and try again</source>
        <translation>写频中断，请将电台复位后重试。</translation>
    </message>
    <message>
        <source>Error data Value, please input according the step value(6.25K/5k).</source>
        <translation>数据错误，请按步进值（6.25K/5K）输入。</translation>
    </message>
    <message>
        <source>Caution</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a frequency. Please type megahertz with up to five decimals, e.g. 145.125 or 145,125 (&quot;MHz&quot; or &quot;M&quot; may follow).</source>
        <translation>“%1”不是频率。请输入以兆赫（MHz）为单位、最多五位小数的频率，例如 145.125 或 145,125（数字后可带“MHz”或“M”）。</translation>
    </message>
</context>
<context>
    <name>CSupportReportDlg</name>
    <message>
        <source>Save Support Report</source>
        <translation>保存支持报告</translation>
    </message>
    <message>
        <source>&amp;Include the open document (its channels and options)</source>
        <translation>包含打开的文档（其信道和选项）(&amp;I)</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>保存(&amp;S)...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>文本文件 (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>The support report cannot be saved to %1: %2</source>
        <translation>支持报告无法保存到 %1: %2</translation>
    </message>
    <message>
        <source>%1 is an open document: the support report is not saved over it. Choose another name.</source>
        <translation>%1 是已打开的文档：支持报告不会覆盖它。请另选文件名。</translation>
    </message>
    <message>
        <source>%1 is a file the support report quotes (such as Program.ini): the report is not saved over it. Choose another name.</source>
        <translation>%1 是支持报告引用的文件（如 Program.ini）：报告不会覆盖它。请另选文件名。</translation>
    </message>
</context>
</TS>
