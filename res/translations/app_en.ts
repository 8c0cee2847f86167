<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>OK</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CLanguageDlg</name>
    <message>
        <source>Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>English</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Chinese</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The language choice could not be saved: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CMainFrame</name>
    <message>
        <source>Open</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program Document (*.dat)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>New</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Create a new document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open an existing document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close the channel window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the active document</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save the active document with a new name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Print...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print the channel list and the options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print &amp;Direct</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print on the default printer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print Pre&amp;view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display full pages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>P&amp;rint Setup...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change the printer and printing options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quit the application</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Channel Information</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the channel window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Optional Features</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Edit the radio-wide options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Product Infor&amp;mation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the radio type and frequency band</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Read the whole memory from the radio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Write the whole memory to the radio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show or hide the toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Status Bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show or hide the status bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Control Bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show or hide the navigation bar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Com Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the serial port of the radio</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the language of the program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;About Program...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display program information, version number and copyright</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open the help contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next Pane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move to the next of the navigation tree, the band limits and the channel grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous Pane</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Move to the previous of the navigation tree, the band limits and the channel grid</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Next Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch to the next window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Previous Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch to the previous window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ready</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CAP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NUM</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SCRL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document could not be saved.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save As</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The document could not be opened.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Backups...</source>
        <translation>&amp;Backups...</translation>
    </message>
    <message>
        <source>Log Serial &amp;Traffic...</source>
        <translation>Log Serial &amp;Traffic...</translation>
    </message>
    <message>
        <source>Log Serial Traffic</source>
        <translation>Log Serial Traffic</translation>
    </message>
    <message>
        <source>Logging serial traffic to %1</source>
        <translation>Logging serial traffic to %1</translation>
    </message>
    <message>
        <source>Open a backup of what a radio held when it was read</source>
        <translation>Open a backup of what a radio held when it was read</translation>
    </message>
    <message>
        <source>Port: %1</source>
        <translation>Port: %1</translation>
    </message>
    <message>
        <source>Serial trace (*.trace *.txt)</source>
        <translation>Serial trace (*.trace *.txt)</translation>
    </message>
    <message>
        <source>The backup could not be opened.</source>
        <translation>The backup could not be opened.</translation>
    </message>
    <message>
        <source>The serial trace cannot be written to this file.</source>
        <translation>The serial trace cannot be written to this file.</translation>
    </message>
    <message>
        <source>Write every byte sent to and received from the radio to a file</source>
        <translation>Write every byte sent to and received from the radio to a file</translation>
    </message>
    <message>
        <source>Port: %1, kept for the radio read in this window</source>
        <translation>Port: %1, kept for the radio read in this window</translation>
    </message>
    <message>
        <source> - not present</source>
        <translation> - not present</translation>
    </message>
    <message>
        <source>This window writes to the radio read in it. The other windows use %1, as chosen in COM Setup.</source>
        <translation>This window writes to the radio read in it. The other windows use %1, as chosen in COM Setup.</translation>
    </message>
    <message>
        <source>Chosen in COM Setup for every window without a port of its own.</source>
        <translation>Chosen in COM Setup for every window without a port of its own.</translation>
    </message>
    <message>
        <source>Nothing was saved, and the program stays open.</source>
        <translation>Nothing was saved, and the program stays open.</translation>
    </message>
    <message>
        <source>The program stays open. Saved before it, and kept so: %1</source>
        <translation>The program stays open. Saved before it, and kept so: %1</translation>
    </message>
    <message>
        <source>%1 is open in another window of this program. Nothing was saved: choose another name, or close that window first.</source>
        <translation>%1 is open in another window of this program. Nothing was saved: choose another name, or close that window first.</translation>
    </message>
    <message>
        <source>opened from the backup %1</source>
        <translation>opened from the backup %1</translation>
    </message>
    <message>
        <source>Check Co&amp;nnection...</source>
        <translation>Check Co&amp;nnection...</translation>
    </message>
    <message>
        <source>Find out why the radio does not answer on its port, or which port the cable is</source>
        <translation>Find out why the radio does not answer on its port, or which port the cable is</translation>
    </message>
    <message>
        <source>Save Support &amp;Report...</source>
        <translation>Save Support &amp;Report...</translation>
    </message>
    <message>
        <source>Show what a support report holds, then save it to attach to a bug report</source>
        <translation>Show what a support report holds, then save it to attach to a bug report</translation>
    </message>
    <message>
        <source>Status bar</source>
        <translation>Status bar</translation>
    </message>
    <message>
        <source>Menu bar</source>
        <translation>Menu bar</translation>
    </message>
</context>
<context>
    <name>CNavigationBar</name>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>Navigation</translation>
    </message>
</context>
<context>
    <name>AppMessageBox</name>
    <message>
        <source>Cop&amp;y</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HelpAccess</name>
    <message>
        <source>Help</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Back</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forward</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Contents</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Search</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No page contains &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help page</source>
        <translation>Help page</translation>
    </message>
    <message>
        <source>Help toolbar</source>
        <translation>Help toolbar</translation>
    </message>
    <message>
        <source>More toolbar buttons</source>
        <translation>More toolbar buttons</translation>
    </message>
    <message>
        <source>Contents and search</source>
        <translation>Contents and search</translation>
    </message>
    <message>
        <source>Search results</source>
        <translation>Search results</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>Look for a topic</source>
        <translation>Look for a topic</translation>
    </message>
    <message>
        <source>Type the first letters</source>
        <translation>Type the first letters</translation>
    </message>
    <message>
        <source>Search for</source>
        <translation>Search for</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>&amp;Search</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>&amp;Save</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Retry</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StringTable</name>
    <message>
        <source>Out of range,please input again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Communication Error,Please check all the connections and the radio power</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All data will be Cleared!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not Open the Port,Please check whether the Port are occupied or the device are ok</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Program Interrupt, Please reset the radio and try again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error data Value, please input according the step value(6.25K/5k).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Caution</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a frequency. Please type megahertz with up to five decimals, e.g. 145.125 or 145,125 (&quot;MHz&quot; or &quot;M&quot; may follow).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CSupportReportDlg</name>
    <message>
        <source>Save Support Report</source>
        <translation>Save Support Report</translation>
    </message>
    <message>
        <source>&amp;Include the open document (its channels and options)</source>
        <translation>&amp;Include the open document (its channels and options)</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>&amp;Save...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Text files (*.txt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>The support report cannot be saved to %1: %2</source>
        <translation>The support report cannot be saved to %1: %2</translation>
    </message>
    <message>
        <source>%1 is an open document: the support report is not saved over it. Choose another name.</source>
        <translation>%1 is an open document: the support report is not saved over it. Choose another name.</translation>
    </message>
    <message>
        <source>%1 is a file the support report quotes (such as Program.ini): the report is not saved over it. Choose another name.</source>
        <translation>%1 is a file the support report quotes (such as Program.ini): the report is not saved over it. Choose another name.</translation>
    </message>
</context>
</TS>
