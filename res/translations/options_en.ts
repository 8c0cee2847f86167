<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>COptionFeaturesDlg</name>
    <message>
        <source>Option Features</source>
        <translation>Option Features</translation>
    </message>
    <message>
        <source>LED</source>
        <translation>LED</translation>
    </message>
    <message>
        <source>Battery Saver</source>
        <translation>Battery Saver</translation>
    </message>
    <message>
        <source>Keypad Lock</source>
        <translation>Keypad Lock</translation>
    </message>
    <message>
        <source>Time-Out Timer</source>
        <translation>Time-Out Timer</translation>
    </message>
    <message>
        <source>Voice Sensitivity</source>
        <translation>Voice Sensitivity</translation>
    </message>
    <message>
        <source>Priority Scan</source>
        <translation>Priority Scan</translation>
    </message>
    <message>
        <source>Channel Display</source>
        <translation>Channel Display</translation>
    </message>
    <message>
        <source>Pri-Scanning Time</source>
        <translation>Pri-Scanning Time</translation>
    </message>
    <message>
        <source>Power-on Name</source>
        <translation>Power-on Name</translation>
    </message>
    <message>
        <source>Step</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Call Tone</source>
        <translation>Call Tone</translation>
    </message>
    <message>
        <source>Squelch Level</source>
        <translation>Squelch Level</translation>
    </message>
    <message>
        <source>Encoder</source>
        <translation>Encoder</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>Busy</source>
        <translation>Busy</translation>
    </message>
    <message>
        <source>Scan Mode</source>
        <translation>Scan Mode</translation>
    </message>
    <message>
        <source>V SQL Adjust</source>
        <translation>V SQL Adjust</translation>
    </message>
    <message>
        <source>U SQL Adjust</source>
        <translation>U SQL Adjust</translation>
    </message>
    <message>
        <source>Beep</source>
        <translation>Beep</translation>
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
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>On</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>Memory</translation>
    </message>
    <message>
        <source>The power-on name takes up to six characters: 0-9, A-Z, - and _ (lower case becomes upper case).</source>
        <translation>The power-on name takes up to six characters: 0-9, A-Z, - and _ (lower case becomes upper case).</translation>
    </message>
    <message>
        <source>The power-on name cannot hold &quot;%1&quot;.</source>
        <translation>The power-on name cannot hold &quot;%1&quot;.</translation>
    </message>
</context>
<context>
    <name>ReportPrinter</name>
    <message>
        <source>The printer could not be started.</source>
        <translation>The printer could not be started.</translation>
    </message>
    <message>
        <source>The printer could not start a new page.</source>
        <translation>The printer could not start a new page.</translation>
    </message>
    <message>
        <source>The printer reported an error.</source>
        <translation>The printer reported an error.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>nothing was printed</source>
        <translation>nothing was printed</translation>
    </message>
    <message>
        <source>the finished file could not be moved into place</source>
        <translation>the finished file could not be moved into place</translation>
    </message>
    <message>
        <source>No printer is installed.</source>
        <translation>No printer is installed.</translation>
    </message>
    <message>
        <source>Print Preview</source>
        <translation>Print Preview</translation>
    </message>
    <message>
        <source>More commands</source>
        <translation>More commands</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>Pages</source>
        <translation>Pages</translation>
    </message>
    <message>
        <source>No printer is installed: save the report as PDF</source>
        <translation>No printer is installed: save the report as PDF</translation>
    </message>
    <message>
        <source>PDF files (*.pdf)</source>
        <translation>PDF files (*.pdf)</translation>
    </message>
</context>
</TS>
