<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CProcessDlg</name>
    <message>
        <source>Process</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CComSetupDlg</name>
    <message>
        <source>COM Setup</source>
        <translation>串口设置</translation>
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
        <source>COM%1 cannot be opened now.</source>
        <translation>COM%1 当前无法打开。</translation>
    </message>
</context>
<context>
    <name>CLinkController</name>
    <message>
        <source>A write to the radio on %1 is in progress. Stop it? The radio will be left partly written.</source>
        <translation>正在向%1上的电台写数据。要停止吗？电台将只被写入一部分。</translation>
    </message>
    <message>
        <source>A read from the radio on %1 is in progress. Stop it? Nothing will be changed.</source>
        <translation>正在从%1上的电台读数据。要停止吗？不会有任何改变。</translation>
    </message>
    <message>
        <source>The write to the radio on %1 was stopped after %2 of %3 frames (%4 of %5 bytes). The radio now holds a mix of old and new settings: write to it again before using it.</source>
        <translation>向%1上的电台写数据已停止：共%3帧，已写入%2帧（共%5字节，已写入%4字节）。电台现在新旧设置混杂，使用前请重新写入。</translation>
    </message>
    <message>
        <source>The write to the radio on %1 was stopped before any data was sent. The radio is unchanged.</source>
        <translation>向%1上的电台写数据在发送任何数据之前已停止。电台没有改变。</translation>
    </message>
    <message>
        <source>The read from the radio on %1 was stopped. Nothing is changed.</source>
        <translation>从%1上的电台读数据已停止。没有任何改变。</translation>
    </message>
    <message>
        <source>%1 of %2 frames (%3 of %4 bytes) were written before the link failed. The radio now holds a mix of old and new settings: write to it again before using it.</source>
        <translation>连接中断前共%2帧中已写入%1帧（共%4字节中已写入%3字节）。电台现在新旧设置混杂，使用前请重新写入。</translation>
    </message>
</context>
</TS>
