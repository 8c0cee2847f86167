<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CProductInfoDlg</name>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="80"/>
        <source>Product Information</source>
        <translation>类型设置</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="81"/>
        <source>Setting</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="82"/>
        <source>Type</source>
        <translation>机型</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="83"/>
        <source>Frequency</source>
        <translation>频段</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="84"/>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="85"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CProgramView</name>
    <message>
        <location filename="../../gui/editor/ProgramView.cpp" line="126"/>
        <source>VHF:</source>
        <translation>VHF:</translation>
    </message>
    <message>
        <location filename="../../gui/editor/ProgramView.cpp" line="128"/>
        <source>UHF:</source>
        <translation>UHF:</translation>
    </message>
    <message>
        <source>Megahertz</source>
        <translation>兆赫</translation>
    </message>
    <message>
        <source>VHF lowest frequency</source>
        <translation>VHF 最低频率</translation>
    </message>
    <message>
        <source>VHF highest frequency</source>
        <translation>VHF 最高频率</translation>
    </message>
    <message>
        <source>UHF lowest frequency</source>
        <translation>UHF 最低频率</translation>
    </message>
    <message>
        <source>UHF highest frequency</source>
        <translation>UHF 最高频率</translation>
    </message>
    <message>
        <source>%1 cannot be imported: %2. Nothing was imported.</source>
        <translation>%1 无法导入：%2。未导入任何内容。</translation>
    </message>
</context>
<context>
    <name>CMSFlexGrid</name>
    <message>
        <source>Channel %1, %2</source>
        <translation>信道 %1，%2</translation>
    </message>
    <message>
        <source>Channel %1, %2, %3</source>
        <translation>信道 %1，%2，%3</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>信道</translation>
    </message>
</context>
</TS>
