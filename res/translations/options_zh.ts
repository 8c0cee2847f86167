<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>COptionFeaturesDlg</name>
    <message>
        <source>Option Features</source>
        <translation>可选功能</translation>
    </message>
    <message>
        <source>LED</source>
        <translation>LED</translation>
    </message>
    <message>
        <source>Battery Saver</source>
        <translation>电池省电</translation>
    </message>
    <message>
        <source>Keypad Lock</source>
        <translation>键盘锁定</translation>
    </message>
    <message>
        <source>Time-Out Timer</source>
        <translation>超时定时器</translation>
    </message>
    <message>
        <source>Voice Sensitivity</source>
        <translation>声控灵敏度</translation>
    </message>
    <message>
        <source>Priority Scan</source>
        <translation>优先扫描</translation>
    </message>
    <message>
        <source>Channel Display</source>
        <translation>信道显示</translation>
    </message>
    <message>
        <source>Pri-Scanning Time</source>
        <translation>预扫描时间</translation>
    </message>
    <message>
        <source>Power-on Name</source>
        <translation>开机名称</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>步长</translation>
    </message>
    <message>
        <source>Call Tone</source>
        <translation>呼叫铃音</translation>
    </message>
    <message>
        <source>Squelch Level</source>
        <translation>静噪电平</translation>
    </message>
    <message>
        <source>Encoder</source>
        <translation>编码器</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>模式</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>繁忙</translation>
    </message>
    <message>
        <source>Scan Mode</source>
        <translation>扫描模式</translation>
    </message>
    <message>
        <source>V SQL Adjust</source>
        <translation>V 静噪调整</translation>
    </message>
    <message>
        <source>U SQL Adjust</source>
        <translation>U 静噪调整</translation>
    </message>
    <message>
        <source>Beep</source>
        <translation>提示音</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>手动</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>信道</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>频率</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>存储</translation>
    </message>
    <message>
        <source>The power-on name takes up to six characters: 0-9, A-Z, - and _ (lower case becomes upper case).</source>
        <translation>开机名称最多六个字符：0-9、A-Z、- 和 _（小写字母自动转为大写）。</translation>
    </message>
    <message>
        <source>The power-on name cannot hold &quot;%1&quot;.</source>
        <translation>开机名称不能包含“%1”。</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The printer could not be started.</source>
        <translation>无法启动打印机。</translation>
    </message>
    <message>
        <source>The printer could not start a new page.</source>
        <translation>打印机无法开始新的一页。</translation>
    </message>
    <message>
        <source>The printer reported an error.</source>
        <translation>打印机报告了错误。</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>这是一个文件夹</translation>
    </message>
    <message>
        <source>nothing was printed</source>
        <translation>没有打印任何内容</translation>
    </message>
    <message>
        <source>the finished file could not be moved into place</source>
        <translation>无法将完成的文件移动到目标位置</translation>
    </message>
    <message>
        <source>No printer is installed.</source>
        <translation>没有安装打印机。</translation>
    </message>
    <message>
        <source>Print Preview</source>
        <translation>打印预览</translation>
    </message>
    <message>
        <source>More commands</source>
        <translation>更多命令</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>缩放</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>页码</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>页面</translation>
    </message>
    <message>
        <source>No printer is installed: save the report as PDF</source>
        <translation>没有安装打印机：把报表保存为 PDF</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF 文件 (*.pdf)</translation>
    </message>
</context>
</TS>
