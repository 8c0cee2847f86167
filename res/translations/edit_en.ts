<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CMainFrame</name>
    <message>
        <source>&amp;Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Undo the last change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redo the change undone last</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Undo %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Redo %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CProgramDoc</name>
    <message>
        <source>Discard Changes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save changes to %1?</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CProgramView</name>
    <message>
        <source>Band Limits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pr, %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel %1, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>COptionFeaturesDlg</name>
    <message>
        <source>Optional Features</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CLinkController</name>
    <message>
        <source>Read</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
