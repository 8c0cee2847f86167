<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CProductInfoDlg</name>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="80"/>
        <source>Product Information</source>
        <translation>Product Information</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="81"/>
        <source>Setting</source>
        <translation>Setting</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="82"/>
        <source>Type</source>
        <translation>Type</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="83"/>
        <source>Frequency</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="84"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location filename="../../gui/radio/ProductInfoDlg.cpp" line="85"/>
        <source>Cancel</source>
        <translation>Cancel</translation>
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
</context>
</TS>
