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
    <message>
        <source>Cu&amp;t</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy the selected cells and clear them</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cop&amp;y</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy the selected cells as text a spreadsheet reads</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy with Headin&amp;gs</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy the selected cells after a line of headings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Paste cells copied here or in a spreadsheet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cl&amp;ear	Del</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear the selected cells</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select every channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find a channel by name or frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Ne&amp;xt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find the next channel that matches</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Insert Empty Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Insert empty channels before the selected ones</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Delete Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete the selected channels; the following move up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mo&amp;ve Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected channels up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Do&amp;wn</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move the selected channels down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clear Cha&amp;nnels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Empty the selected channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>by &amp;Rx Frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort the selected channels by receive frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>by &amp;Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort the selected channels by name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>by &amp;Tone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort the selected channels by receive tone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fi&amp;ll Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Copy the first selected row into the rest of the selection</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;6.25 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step the frequencies of the selected rows by 6.25 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;12.5 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step the frequencies of the selected rows by 12.5 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;25 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Step the frequencies of the selected rows by 25 kHz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort C&amp;hannels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fill &amp;Series</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From &amp;File...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Stock lists</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import the channels of this stock list, after a preview (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No stock lists found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Import Channels...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace the channels with those of a CSV file, after a preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Export Channels...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write the channels to a CSV file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Recent &amp;Files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No recent files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 no longer exists; it is taken off the recent files.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Selected Cells...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set every selected cell of one column to one value (in a cell: type it, then Ctrl+Enter)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a radio document (.dat) or a channel list (.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n files were dropped: drop one file at a time, %1.</source>
        <translation>
            <numerusform>%n file was dropped: drop one file at a time, %1.</numerusform>
            <numerusform>%n files were dropped: drop one file at a time, %1.</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 is not a file on this computer: drop %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a folder: drop %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a channel list: drop it on the window of the configuration it goes into, and it is imported there after a preview.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was not opened: drop %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is %2 bytes long, longer than a radio image: only its first %3 bytes were opened, and saving it keeps those alone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (closed)</source>
        <translation> (closed)</translation>
    </message>
    <message>
        <source> (not for this radio type)</source>
        <translation> (not for this radio type)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; does not fit this radio type: %2. Nothing was imported.</source>
        <translation>&quot;%1&quot; does not fit this radio type: %2. Nothing was imported.</translation>
    </message>
    <message>
        <source>&amp;Cascade</source>
        <translation>&amp;Cascade</translation>
    </message>
    <message>
        <source>&amp;Tile</source>
        <translation>&amp;Tile</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Window</translation>
    </message>
    <message>
        <source>Arrange the document windows side by side</source>
        <translation>Arrange the document windows side by side</translation>
    </message>
    <message>
        <source>Arrange the document windows so that they overlap</source>
        <translation>Arrange the document windows so that they overlap</translation>
    </message>
    <message>
        <source>More toolbar buttons</source>
        <translation>More toolbar buttons</translation>
    </message>
    <message>
        <source>Show this window in front</source>
        <translation>Show this window in front</translation>
    </message>
</context>
<context>
    <name>CProgramDoc</name>
    <message>
        <source>Save changes to %1?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a new document, made at %1</source>
        <translation>a new document, made at %1</translation>
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
    <message numerus="yes">
        <source>Cut %n channel(s)</source>
        <translation>
            <numerusform>Cut %n channel</numerusform>
            <numerusform>Cut %n channels</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Clear %n channel(s)</source>
        <translation>
            <numerusform>Clear %n channel</numerusform>
            <numerusform>Clear %n channels</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Paste %n channel(s)</source>
        <translation>
            <numerusform>Paste %n channel</numerusform>
            <numerusform>Paste %n channels</numerusform>
        </translation>
    </message>
    <message>
        <source>Not pasted:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not filled:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not changed:</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 %n cell(s)</source>
        <translation>
            <numerusform>%1 %n cell</numerusform>
            <numerusform>%1 %n cells</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>; the channel's %n other cell(s) were not entered either</source>
        <translation>
            <numerusform>; the channel's other cell was not entered either</numerusform>
            <numerusform>; the channel's %n other cells were not entered either</numerusform>
        </translation>
    </message>
    <message>
        <source>"%1" is not a frequency (megahertz with up to five decimals, e.g. 145.125; "MHz" or "M" may follow)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>"%1" is out of range: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>"%1": %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>"%1" is stored as "%2". %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Stored otherwise than given: %n name(s)</source>
        <translation>
            <numerusform>Stored otherwise than given: %n name</numerusform>
            <numerusform>Stored otherwise than given: %n names</numerusform>
        </translation>
    </message>
    <message>
        <source>"%1" is not one of this column's items</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>"%1" needs a channel with an Rx Frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>"%1" lies outside the grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n cell(s) beyond the last channel or column were left out.</source>
        <translation>
            <numerusform>%n cell beyond the last channel or column was left out.</numerusform>
            <numerusform>%n cells beyond the last channel or column were left out.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Channel %1 is in use: inserting %n empty channel(s) would push it off the end. Delete or move the last channels first.</source>
        <translation>
            <numerusform>Channel %1 is in use: inserting %n empty channel would push it off the end. Delete or move the last channels first.</numerusform>
            <numerusform>Channel %1 is in use: inserting %n empty channels would push it off the end. Delete or move the last channels first.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Insert %n Empty Channel(s)</source>
        <translation>
            <numerusform>Insert %n Empty Channel</numerusform>
            <numerusform>Insert %n Empty Channels</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete %n Channel(s)</source>
        <translation>
            <numerusform>Delete %n Channel</numerusform>
            <numerusform>Delete %n Channels</numerusform>
        </translation>
    </message>
    <message>
        <source>Move Up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort by Rx Frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort by Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sort by Tone</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fill Down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fill Series</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A channel name, or a frequency (145.5 finds 145.50000):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No channel matches "%1".</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel grid, as progtool export (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channel list, Location,Name,Frequency,... (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be imported: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be written: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>A value is set in the cells of one column at a time, and the selection spans %n column(s) (%1). Nothing was changed: select cells of one column.</source>
        <translation>
            <numerusform>A value is set in the cells of one column at a time, and the selection spans %n column (%1). Nothing was changed: select cells of one column.</numerusform>
            <numerusform>A value is set in the cells of one column at a time, and the selection spans %n columns (%1). Nothing was changed: select cells of one column.</numerusform>
        </translation>
    </message>
    <message>
        <source>Not set:</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Set %n cell(s)</source>
        <translation>
            <numerusform>Set %n cell</numerusform>
            <numerusform>Set %n cells</numerusform>
        </translation>
    </message>
    <message>
        <source>Set Selected Cells</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%1 of the %n selected cell(s):</source>
        <translation>
            <numerusform>%1 of the %n selected cell:</numerusform>
            <numerusform>%1 of the %n selected cells:</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>A channel name holds up to %n character(s), each A-Z, 0-9, - or _; letters are stored in upper case.</source>
        <translation>
            <numerusform>A channel name holds up to %n character, each A-Z, 0-9, - or _; letters are stored in upper case.</numerusform>
            <numerusform>A channel name holds up to %n characters, each A-Z, 0-9, - or _; letters are stored in upper case.</numerusform>
        </translation>
    </message>
    <message>
        <source>Empty clears the names.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Megahertz, e.g. 145.125; empty clears the cells (an empty Rx Frequency empties its channel).</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Move %n Channel(s)</source>
        <translation>
            <numerusform>Move %n Channel</numerusform>
            <numerusform>Move %n Channels</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was moved: %1 keeps every channel dragged.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not dropped:</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Move %n Channel(s) Here</source>
        <translation>
            <numerusform>Move %n Channel Here</numerusform>
            <numerusform>Move %n Channels Here</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Drop %n Channel(s)</source>
        <translation>
            <numerusform>Drop %n Channel</numerusform>
            <numerusform>Drop %n Channels</numerusform>
        </translation>
    </message>
    <message>
        <source>The channels were copied, not moved: %1 takes no change while its transfer runs, so it keeps them.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Move %n Channel(s) to %1</source>
        <translation>
            <numerusform>Move %n Channel to %1</numerusform>
            <numerusform>Move %n Channels to %1</numerusform>
        </translation>
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
<context>
    <name>CImportPreviewDlg</name>
    <message>
        <source>Import Channels</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing %1 replaces the channels on screen:</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n channel(s) added</source>
        <translation>
            <numerusform>%n channel added</numerusform>
            <numerusform>%n channels added</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n changed</source>
        <translation>
            <numerusform>%n changed</numerusform>
            <numerusform>%n changed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n emptied (not in the file)</source>
        <translation>
            <numerusform>%n emptied (not in the file)</numerusform>
            <numerusform>%n emptied (not in the file)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n line(s) refused</source>
        <translation>
            <numerusform>%n line refused</numerusform>
            <numerusform>%n lines refused</numerusform>
        </translation>
    </message>
    <message>
        <source>Line %1, refused: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Line %1, changed: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Where the rows go</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renumber from channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Replace all channels (those not in the file become empty)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Merge: keep the channels the file does not carry</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Importing %1 merges into the channels on screen:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Changed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refused: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>name shortened</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>name in upper case</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>power mapped from watts</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>other change</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>outside the radio&apos;s bands</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>off the 2.5 kHz and 6.25 kHz steps</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>mode the radio cannot do</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>tone or code the radio cannot hold</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>location outside 0-199</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no channel left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>channel given twice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>bad value</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) imported</source>
        <translation>
            <numerusform>%n row imported</numerusform>
            <numerusform>%n rows imported</numerusform>
        </translation>
    </message>
    <message>
        <source>Caution: this empties %1 of the %2 channels in use. Is it the right file, and complete?</source>
        <translation>Caution: this empties %1 of the %2 channels in use. Is it the right file, and complete?</translation>
    </message>
    <message numerus="yes">
        <source>... and %n more line(s), counted in the summary</source>
        <translation>
            <numerusform>... and %n more line, counted in the summary</numerusform>
            <numerusform>... and %n more lines, counted in the summary</numerusform>
        </translation>
    </message>
    <message>
        <source>Cop&amp;y</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n channel(s) receive only: no Tx frequency.</source>
        <translation>
            <numerusform>%n channel receive only: no Tx frequency.</numerusform>
            <numerusform>%n channels receive only: no Tx frequency.</numerusform>
        </translation>
    </message>
    <message>
        <source>&amp;Notes in the file:</source>
        <translation>&amp;Notes in the file:</translation>
    </message>
    <message>
        <source>Changed and refused lines</source>
        <translation>Changed and refused lines</translation>
    </message>
    <message>
        <source>Every channel is receive only: no Tx frequency, nothing to transmit on.</source>
        <translation>Every channel is receive only: no Tx frequency, nothing to transmit on.</translation>
    </message>
    <message>
        <source>No line is changed or refused.</source>
        <translation>No line is changed or refused.</translation>
    </message>
    <message>
        <source>Notes in the file</source>
        <translation>Notes in the file</translation>
    </message>
    <message>
        <source>Replacing the channels with those of %1 empties %2 of the %3 channels in use (the file gives %4).
Replace them all the same? Merge keeps the channels the file does not carry.</source>
        <translation>Replacing the channels with those of %1 empties %2 of the %3 channels in use (the file gives %4).
Replace them all the same? Merge keeps the channels the file does not carry.</translation>
    </message>
</context>
</TS>
