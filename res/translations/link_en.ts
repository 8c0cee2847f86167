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
    <message>
        <source>Back up the radio first (a full read, about 20 s)</source>
        <translation>Back up the radio first (a full read, about 20 s)</translation>
    </message>
    <message>
        <source>Keep the radio on and the cable connected until this window closes.</source>
        <translation>Keep the radio on and the cable connected until this window closes.</translation>
    </message>
    <message>
        <source>No answer from the radio yet: attempt %1 of 15</source>
        <translation>No answer from the radio yet: attempt %1 of 15</translation>
    </message>
    <message>
        <source>Switch the radio on, connect the cable, press OK.</source>
        <translation>Switch the radio on, connect the cable, press OK.</translation>
    </message>
    <message>
        <source>Verify after writing (reads the radio back)</source>
        <translation>Verify after writing (reads the radio back)</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Blocks of 16 bytes transferred</source>
        <translation>Blocks of 16 bytes transferred</translation>
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
    <message>
        <source>%1 can be opened.</source>
        <translation>%1 can be opened.</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2 (%3)</source>
        <translation>%1 cannot be opened: %2 (%3)</translation>
    </message>
    <message>
        <source>%1 is gone: it was unplugged. Plug it in again or choose another device.</source>
        <translation>%1 is gone: it was unplugged. Plug it in again or choose another device.</translation>
    </message>
    <message>
        <source>COM5, or choose above</source>
        <translation>COM5, or choose above</translation>
    </message>
    <message>
        <source>/dev/ttyUSB0, or choose above</source>
        <translation>/dev/ttyUSB0, or choose above</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Description</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>Device:</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Kind</translation>
    </message>
    <message>
        <source>Serial devices present:</source>
        <translation>Serial devices present:</translation>
    </message>
    <message>
        <source>State</source>
        <translation>State</translation>
    </message>
    <message>
        <source>The device cannot be opened now.</source>
        <translation>The device cannot be opened now.</translation>
    </message>
    <message>
        <source>Type the path of a serial device, or choose one from the list.</source>
        <translation>Type the path of a serial device, or choose one from the list.</translation>
    </message>
    <message>
        <source>gone: it was unplugged</source>
        <translation>gone: it was unplugged</translation>
    </message>
    <message>
        <source>This window keeps %1, the port of the radio read in it. The other windows use %2.</source>
        <translation>This window keeps %1, the port of the radio read in it. The other windows use %2.</translation>
    </message>
    <message>
        <source>in use by this window's transfer</source>
        <translation>in use by this window's transfer</translation>
    </message>
    <message>
        <source>COM%1 is in use by this window.</source>
        <translation>COM%1 is in use by this window.</translation>
    </message>
    <message>
        <source>The device is in use by this window.</source>
        <translation>The device is in use by this window.</translation>
    </message>
    <message>
        <source>%1 is in use by this window's transfer.</source>
        <translation>%1 is in use by this window's transfer.</translation>
    </message>
    <message>
        <source>in use by another window's transfer</source>
        <translation>in use by another window's transfer</translation>
    </message>
    <message>
        <source>COM%1 is in use by another window.</source>
        <translation>COM%1 is in use by another window.</translation>
    </message>
    <message>
        <source>The device is in use by another window.</source>
        <translation>The device is in use by another window.</translation>
    </message>
    <message>
        <source>%1 is in use by another window's transfer.</source>
        <translation>%1 is in use by another window's transfer.</translation>
    </message>
    <message>
        <source>Device path</source>
        <translation>Device path</translation>
    </message>
    <message>
        <source>Serial devices present</source>
        <translation>Serial devices present</translation>
    </message>
</context>
<context>
    <name>CLinkController</name>
    <message>
        <source>A radio was changed: the radio on %1 is not the one just backed up. Nothing was written to it, and its memory has no backup.</source>
        <translation>A radio was changed: the radio on %1 is not the one just backed up. Nothing was written to it, and its memory has no backup.</translation>
    </message>
    <message>
        <source>It differs from the backup in: %1</source>
        <translation>It differs from the backup in: %1</translation>
    </message>
    <message>
        <source>Write again to back this radio up first.</source>
        <translation>Write again to back this radio up first.</translation>
    </message>
    <message>
        <source>Removed the old backup(s) %1: only the newest %2 are kept.</source>
        <translation>Removed the old backup(s) %1: only the newest %2 are kept.</translation>
    </message>
    <message>
        <source>A write to the radio on %1 is in progress. Stop it? The radio will be left partly written.</source>
        <translation>A write to the radio on %1 is in progress. Stop it? The radio will be left partly written.</translation>
    </message>
    <message>
        <source>A read from the radio on %1 is in progress. Stop it? Nothing will be changed.</source>
        <translation>A read from the radio on %1 is in progress. Stop it? Nothing will be changed.</translation>
    </message>
    <message>
        <source>%1%, %2 of %3 bytes</source>
        <translation>%1%, %2 of %3 bytes</translation>
    </message>
    <message>
        <source>%1 - radio on %2</source>
        <translation>%1 - radio on %2</translation>
    </message>
    <message>
        <source>, %1 bytes/s, %2 left</source>
        <translation>, %1 bytes/s, %2 left</translation>
    </message>
    <message>
        <source>Backing up the radio on %1: reading it before the write</source>
        <translation>Backing up the radio on %1: reading it before the write</translation>
    </message>
    <message>
        <source>Nothing was written to the radio on %1.</source>
        <translation>Nothing was written to the radio on %1.</translation>
    </message>
    <message>
        <source>Read the radio on %1 in %2 s.</source>
        <translation>Read the radio on %1 in %2 s.</translation>
    </message>
    <message>
        <source>Reading from %1</source>
        <translation>Reading from %1</translation>
    </message>
    <message>
        <source>Reading from the radio on %1: the channels cannot be changed until the transfer has ended.</source>
        <translation>Reading from the radio on %1: the channels cannot be changed until the transfer has ended.</translation>
    </message>
    <message>
        <source>The radio could not be read for its backup, so nothing was written to it.</source>
        <translation>The radio could not be read for its backup, so nothing was written to it.</translation>
    </message>
    <message>
        <source>The radio was read, but its backup could not be saved in the folder %1.</source>
        <translation>The radio was read, but its backup could not be saved in the folder %1.</translation>
    </message>
    <message>
        <source>The radio&apos;s memory could not be kept in the backup folder %1, so nothing was written to the radio. Untick &quot;Back up the radio first&quot; to write without a backup.</source>
        <translation>The radio&apos;s memory could not be kept in the backup folder %1, so nothing was written to the radio. Untick &quot;Back up the radio first&quot; to write without a backup.</translation>
    </message>
    <message>
        <source>The read from the radio on %1 did not complete.</source>
        <translation>The read from the radio on %1 did not complete.</translation>
    </message>
    <message>
        <source>The serial trace cannot be written, so the transfer was not started.</source>
        <translation>The serial trace cannot be written, so the transfer was not started.</translation>
    </message>
    <message>
        <source>The serial trace could not be written completely to %1.</source>
        <translation>The serial trace could not be written completely to %1.</translation>
    </message>
    <message>
        <source>The write to the radio on %1 did not complete.</source>
        <translation>The write to the radio on %1 did not complete.</translation>
    </message>
    <message>
        <source>Verifying %1: reading the radio back</source>
        <translation>Verifying %1: reading the radio back</translation>
    </message>
    <message>
        <source>Write to the radio again; if they still differ, the radio may be faulty.</source>
        <translation>Write to the radio again; if they still differ, the radio may be faulty.</translation>
    </message>
    <message>
        <source>Writing to %1</source>
        <translation>Writing to %1</translation>
    </message>
    <message>
        <source>Writing to the radio on %1: the channels cannot be changed until the transfer has ended.</source>
        <translation>Writing to the radio on %1: the channels cannot be changed until the transfer has ended.</translation>
    </message>
    <message>
        <source>Wrote the radio on %1 and verified it in %2 s: it holds what was sent.</source>
        <translation>Wrote the radio on %1 and verified it in %2 s: it holds what was sent.</translation>
    </message>
    <message>
        <source>Wrote the radio on %1 in %2 s.</source>
        <translation>Wrote the radio on %1 in %2 s.</translation>
    </message>
    <message>
        <source>Wrote the radio on %1 in %2 s; not verified.</source>
        <translation>Wrote the radio on %1 in %2 s; not verified.</translation>
    </message>
    <message>
        <source>Wrote the radio on %1; the verify found %2 difference(s).</source>
        <translation>Wrote the radio on %1; the verify found %2 difference(s).</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>%1 of %2: backing up the radio on %3 before writing to it</source>
        <translation>%1 of %2: backing up the radio on %3 before writing to it</translation>
    </message>
    <message>
        <source>%1 of %2: writing to %3</source>
        <translation>%1 of %2: writing to %3</translation>
    </message>
    <message>
        <source>%1 of %2: verifying %3, reading the radio back</source>
        <translation>%1 of %2: verifying %3, reading the radio back</translation>
    </message>
    <message>
        <source>%1 of %2: backing up the radio on %3...</source>
        <translation>%1 of %2: backing up the radio on %3...</translation>
    </message>
    <message>
        <source>%1 of %2: writing to the radio on %3...</source>
        <translation>%1 of %2: writing to the radio on %3...</translation>
    </message>
    <message>
        <source>%1 of %2: verifying the radio on %3...</source>
        <translation>%1 of %2: verifying the radio on %3...</translation>
    </message>
    <message>
        <source>Reading from the radio on %1...</source>
        <translation>Reading from the radio on %1...</translation>
    </message>
    <message>
        <source>Writing to the radio on %1...</source>
        <translation>Writing to the radio on %1...</translation>
    </message>
    <message>
        <source>, %1 bytes/s, %2 left in all</source>
        <translation>, %1 bytes/s, %2 left in all</translation>
    </message>
    <message>
        <source>%1 is in use by a transfer in another window of this program (%2). Wait until it has ended, or choose another port in COM Setup.</source>
        <translation>%1 is in use by a transfer in another window of this program (%2). Wait until it has ended, or choose another port in COM Setup.</translation>
    </message>
    <message>
        <source>read from the radio on %1 at %2</source>
        <translation>read from the radio on %1 at %2</translation>
    </message>
    <message>
        <source>%1 is being checked by Check Connection. Wait until the check has ended, then start the transfer again.</source>
        <translation>%1 is being checked by Check Connection. Wait until the check has ended, then start the transfer again.</translation>
    </message>
    <message>
        <source>C&amp;heck Connection...</source>
        <translation>C&amp;heck Connection...</translation>
    </message>
    <message>
        <source>Setup &gt; Check Connection... finds out why the radio does not answer.</source>
        <translation>Setup &gt; Check Connection... finds out why the radio does not answer.</translation>
    </message>
    <message>
        <source>The serial trace of the failed handshake is kept for a support report in %1.</source>
        <translation>The serial trace of the failed handshake is kept for a support report in %1.</translation>
    </message>
</context>
<context>
    <name>CBackupsDlg</name>
    <message>
        <source>%1 - backup of %2, %3</source>
        <translation>%1 - backup of %2, %3</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>Backups</translation>
    </message>
    <message>
        <source>Backups in %1:</source>
        <translation>Backups in %1:</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>First names</source>
        <translation>First names</translation>
    </message>
    <message>
        <source>Keep the newest</source>
        <translation>Keep the newest</translation>
    </message>
    <message>
        <source>No backups yet in %1.</source>
        <translation>No backups yet in %1.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation>Pinned</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>backups (pinned ones are never deleted)</source>
        <translation>backups (pinned ones are never deleted)</translation>
    </message>
</context>
<context>
    <name>CCheckConnectionDlg</name>
    <message>
        <source>Check Connection</source>
        <translation>Check Connection</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>&amp;Port:</translation>
    </message>
    <message>
        <source>COM1, /dev/ttyUSB0, or choose below</source>
        <translation>COM1, /dev/ttyUSB0, or choose below</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>&amp;Check</translation>
    </message>
    <message>
        <source>&amp;Find my cable...</source>
        <translation>&amp;Find my cable...</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>&amp;Next</translation>
    </message>
    <message>
        <source>&amp;Use this port</source>
        <translation>&amp;Use this port</translation>
    </message>
    <message>
        <source>C&amp;opy report</source>
        <translation>C&amp;opy report</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Check tells whether the radio answers on this port, and if not, why. Find my cable tells which port the cable is.</source>
        <translation>Check tells whether the radio answers on this port, and if not, why. Find my cable tells which port the cable is.</translation>
    </message>
    <message>
        <source>What to do:</source>
        <translation>What to do:</translation>
    </message>
    <message>
        <source>What was found:</source>
        <translation>What was found:</translation>
    </message>
    <message>
        <source>The steps that ran:</source>
        <translation>The steps that ran:</translation>
    </message>
    <message>
        <source>Type the port to check, or choose one from the list.</source>
        <translation>Type the port to check, or choose one from the list.</translation>
    </message>
    <message>
        <source>%1 is being checked already.</source>
        <translation>%1 is being checked already.</translation>
    </message>
    <message>
        <source>%1 is in use by a transfer in this program (%2). Wait until it has ended, then check again.</source>
        <translation>%1 is in use by a transfer in this program (%2). Wait until it has ended, then check again.</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>Opening %1...</translation>
    </message>
    <message>
        <source>Looking for other programs that have the port open...</source>
        <translation>Looking for other programs that have the port open...</translation>
    </message>
    <message>
        <source>Sending the entry code, attempt %1 of %2...</source>
        <translation>Sending the entry code, attempt %1 of %2...</translation>
    </message>
    <message>
        <source>Asking the radio for its identification...</source>
        <translation>Asking the radio for its identification...</translation>
    </message>
    <message>
        <source>Sending the closing acknowledgement...</source>
        <translation>Sending the closing acknowledgement...</translation>
    </message>
    <message>
        <source>The check was stopped.</source>
        <translation>The check was stopped.</translation>
    </message>
    <message>
        <source>The check of %1 was stopped before it came to a verdict.</source>
        <translation>The check of %1 was stopped before it came to a verdict.</translation>
    </message>
    <message>
        <source>Checked in %1 s.</source>
        <translation>Checked in %1 s.</translation>
    </message>
    <message>
        <source>Stopping the check...</source>
        <translation>Stopping the check...</translation>
    </message>
    <message>
        <source>no serial device</source>
        <translation>no serial device</translation>
    </message>
    <message>
        <source>Step 1 of 2: unplug the cable from the computer, then press Next.</source>
        <translation>Step 1 of 2: unplug the cable from the computer, then press Next.</translation>
    </message>
    <message>
        <source>Step 1 of 2: unplug the programming cable from the computer&apos;s USB socket. If it is unplugged already, press Next.</source>
        <translation>Step 1 of 2: unplug the programming cable from the computer&apos;s USB socket. If it is unplugged already, press Next.</translation>
    </message>
    <message>
        <source>Serial devices present now:</source>
        <translation>Serial devices present now:</translation>
    </message>
    <message>
        <source>Step 2 of 2: plug the cable in again. The device that appears is the cable.</source>
        <translation>Step 2 of 2: plug the cable in again. The device that appears is the cable.</translation>
    </message>
    <message>
        <source>Gone when the cable was unplugged:</source>
        <translation>Gone when the cable was unplugged:</translation>
    </message>
    <message>
        <source>Step 2 of 2: plug the cable in. Waiting for it, %1 s left.</source>
        <translation>Step 2 of 2: plug the cable in. Waiting for it, %1 s left.</translation>
    </message>
    <message>
        <source>The cable is %1.</source>
        <translation>The cable is %1.</translation>
    </message>
    <message>
        <source>Press Use this port to make it the port of this window and of COM Setup, then Check to try the radio on it.</source>
        <translation>Press Use this port to make it the port of this window and of COM Setup, then Check to try the radio on it.</translation>
    </message>
    <message>
        <source>%1 is now the port of this window and of COM Setup. Press Check to try the radio on it.</source>
        <translation>%1 is now the port of this window and of COM Setup. Press Check to try the radio on it.</translation>
    </message>
    <message>
        <source>Find my cable was stopped; the port is as it was.</source>
        <translation>Find my cable was stopped; the port is as it was.</translation>
    </message>
    <message>
        <source>Find my cable: %1</source>
        <translation>Find my cable: %1</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Result</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
</context>
</TS>
