<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CProcessDlg</name>
    <message>
        <source>Process</source>
        <translation>Process</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CComSetupDlg</name>
    <message>
        <source>COM Setup</source>
        <translation>COM Setup</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>COM%1 cannot be opened now.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
