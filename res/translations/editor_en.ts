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
    <message>
        <source>Megahertz</source>
        <translation>Megahertz</translation>
    </message>
    <message>
        <source>VHF lowest frequency</source>
        <translation>VHF lowest frequency</translation>
    </message>
    <message>
        <source>VHF highest frequency</source>
        <translation>VHF highest frequency</translation>
    </message>
    <message>
        <source>UHF lowest frequency</source>
        <translation>UHF lowest frequency</translation>
    </message>
    <message>
        <source>UHF highest frequency</source>
        <translation>UHF highest frequency</translation>
    </message>
    <message>
        <source>%1 cannot be imported: %2. Nothing was imported.</source>
        <translation>%1 cannot be imported: %2. Nothing was imported.</translation>
    </message>
</context>
<context>
    <name>CMSFlexGrid</name>
    <message>
        <source>Channel %1, %2</source>
        <translation>Channel %1, %2</translation>
    </message>
    <message>
        <source>Channel %1, %2, %3</source>
        <translation>Channel %1, %2, %3</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Channels</translation>
    </message>
</context>
</TS>
