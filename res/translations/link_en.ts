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
<context>
    <name>CLinkController</name>
    <message>
        <source>A write to the radio on %1 is in progress. Stop it? The radio will be left partly written.</source>
        <translation>A write to the radio on %1 is in progress. Stop it? The radio will be left partly written.</translation>
    </message>
    <message>
        <source>A read from the radio on %1 is in progress. Stop it? Nothing will be changed.</source>
        <translation>A read from the radio on %1 is in progress. Stop it? Nothing will be changed.</translation>
    </message>
    <message>
        <source>The write to the radio on %1 was stopped after %2 of %3 frames (%4 of %5 bytes). The radio now holds a mix of old and new settings: write to it again before using it.</source>
        <translation>The write to the radio on %1 was stopped after %2 of %3 frames (%4 of %5 bytes). The radio now holds a mix of old and new settings: write to it again before using it.</translation>
    </message>
    <message>
        <source>The write to the radio on %1 was stopped before any data was sent. The radio is unchanged.</source>
        <translation>The write to the radio on %1 was stopped before any data was sent. The radio is unchanged.</translation>
    </message>
    <message>
        <source>The read from the radio on %1 was stopped. Nothing is changed.</source>
        <translation>The read from the radio on %1 was stopped. Nothing is changed.</translation>
    </message>
    <message>
        <source>%1 of %2 frames (%3 of %4 bytes) were written before the link failed. The radio now holds a mix of old and new settings: write to it again before using it.</source>
        <translation>%1 of %2 frames (%3 of %4 bytes) were written before the link failed. The radio now holds a mix of old and new settings: write to it again before using it.</translation>
    </message>
</context>
</TS>
