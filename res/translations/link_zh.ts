<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CProcessDlg</name>
    <message>
        <source>Process</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Back up the radio first (a full read, about 20 s)</source>
        <translation>先备份电台（完整读取一次，约 20 秒）</translation>
    </message>
    <message>
        <source>Keep the radio on and the cable connected until this window closes.</source>
        <translation>在此窗口关闭前，请保持电台开机、数据线连接。</translation>
    </message>
    <message>
        <source>No answer from the radio yet: attempt %1 of 15</source>
        <translation>电台尚无应答：第 %1 次尝试，共 15 次</translation>
    </message>
    <message>
        <source>Switch the radio on, connect the cable, press OK.</source>
        <translation>打开电台电源，连接数据线，然后按“确定”。</translation>
    </message>
    <message>
        <source>Verify after writing (reads the radio back)</source>
        <translation>写入后校验（回读电台）</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Blocks of 16 bytes transferred</source>
        <translation>已传送的 16 字节块数</translation>
    </message>
</context>
<context>
    <name>CComSetupDlg</name>
    <message>
        <source>COM Setup</source>
        <translation>串口设置</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>COM%1 cannot be opened now.</source>
        <translation>COM%1 当前无法打开。</translation>
    </message>
    <message>
        <source>%1 can be opened.</source>
        <translation>%1 可以打开。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2 (%3)</source>
        <translation>%1 无法打开：%2（%3）</translation>
    </message>
    <message>
        <source>%1 is gone: it was unplugged. Plug it in again or choose another device.</source>
        <translation>%1 已消失：设备被拔出。请重新插入或选择其他设备。</translation>
    </message>
    <message>
        <source>COM5, or choose above</source>
        <translation>COM5，或在上面选择</translation>
    </message>
    <message>
        <source>/dev/ttyUSB0, or choose above</source>
        <translation>/dev/ttyUSB0，或在上面选择</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Device:</source>
        <translation>设备：</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Serial devices present:</source>
        <translation>当前的串口设备：</translation>
    </message>
    <message>
        <source>State</source>
        <translation>状态</translation>
    </message>
    <message>
        <source>The device cannot be opened now.</source>
        <translation>该设备当前无法打开。</translation>
    </message>
    <message>
        <source>Type the path of a serial device, or choose one from the list.</source>
        <translation>请输入串口设备的路径，或从列表中选择一个。</translation>
    </message>
    <message>
        <source>gone: it was unplugged</source>
        <translation>已消失：设备被拔出</translation>
    </message>
    <message>
        <source>This window keeps %1, the port of the radio read in it. The other windows use %2.</source>
        <translation>本窗口保留%1，即读出本窗口电台的端口。其他窗口使用%2。</translation>
    </message>
    <message>
        <source>in use by this window's transfer</source>
        <translation>正被本窗口的传输使用</translation>
    </message>
    <message>
        <source>COM%1 is in use by this window.</source>
        <translation>COM%1 正被本窗口使用。</translation>
    </message>
    <message>
        <source>The device is in use by this window.</source>
        <translation>该设备正被本窗口使用。</translation>
    </message>
    <message>
        <source>%1 is in use by this window's transfer.</source>
        <translation>%1 正被本窗口的传输使用。</translation>
    </message>
    <message>
        <source>in use by another window's transfer</source>
        <translation>正被另一窗口的传输使用</translation>
    </message>
    <message>
        <source>COM%1 is in use by another window.</source>
        <translation>COM%1 正被另一窗口使用。</translation>
    </message>
    <message>
        <source>The device is in use by another window.</source>
        <translation>该设备正被另一窗口使用。</translation>
    </message>
    <message>
        <source>%1 is in use by another window's transfer.</source>
        <translation>%1 正被另一窗口的传输使用。</translation>
    </message>
    <message>
        <source>Device path</source>
        <translation>设备路径</translation>
    </message>
    <message>
        <source>Serial devices present</source>
        <translation>当前的串口设备</translation>
    </message>
</context>
<context>
    <name>CLinkController</name>
    <message>
        <source>A radio was changed: the radio on %1 is not the one just backed up. Nothing was written to it, and its memory has no backup.</source>
        <translation>电台已更换：%1上的电台不是刚刚备份的那台。未向其写入任何数据，它的数据也没有备份。</translation>
    </message>
    <message>
        <source>It differs from the backup in: %1</source>
        <translation>它与备份不同之处：%1</translation>
    </message>
    <message>
        <source>Write again to back this radio up first.</source>
        <translation>请重新写入，先为这台电台备份。</translation>
    </message>
    <message>
        <source>Removed the old backup(s) %1: only the newest %2 are kept.</source>
        <translation>已删除旧备份 %1：只保留最新的 %2 个。</translation>
    </message>
    <message>
        <source>A write to the radio on %1 is in progress. Stop it? The radio will be left partly written.</source>
        <translation>正在向%1上的电台写数据。要停止吗？电台将只被写入一部分。</translation>
    </message>
    <message>
        <source>A read from the radio on %1 is in progress. Stop it? Nothing will be changed.</source>
        <translation>正在从%1上的电台读数据。要停止吗？不会有任何改变。</translation>
    </message>
    <message>
        <source>%1%, %2 of %3 bytes</source>
        <translation>%1%，%2 / %3 字节</translation>
    </message>
    <message>
        <source>%1 - radio on %2</source>
        <translation>%1 - %2 上的电台</translation>
    </message>
    <message>
        <source>, %1 bytes/s, %2 left</source>
        <translation>，%1 字节/秒，剩余 %2</translation>
    </message>
    <message>
        <source>Backing up the radio on %1: reading it before the write</source>
        <translation>正在备份 %1 上的电台：写入前先读取</translation>
    </message>
    <message>
        <source>Nothing was written to the radio on %1.</source>
        <translation>没有向 %1 上的电台写入任何数据。</translation>
    </message>
    <message>
        <source>Read the radio on %1 in %2 s.</source>
        <translation>已读取 %1 上的电台，用时 %2 秒。</translation>
    </message>
    <message>
        <source>Reading from %1</source>
        <translation>正在从 %1 读数据</translation>
    </message>
    <message>
        <source>Reading from the radio on %1: the channels cannot be changed until the transfer has ended.</source>
        <translation>正在从 %1 上的电台读数据：传输结束前不能修改信道。</translation>
    </message>
    <message>
        <source>The radio could not be read for its backup, so nothing was written to it.</source>
        <translation>无法读取电台以备份，因此没有向电台写入任何数据。</translation>
    </message>
    <message>
        <source>The radio was read, but its backup could not be saved in the folder %1.</source>
        <translation>电台已读取，但备份无法保存到文件夹 %1。</translation>
    </message>
    <message>
        <source>The radio&apos;s memory could not be kept in the backup folder %1, so nothing was written to the radio. Untick &quot;Back up the radio first&quot; to write without a backup.</source>
        <translation>电台的数据无法保存到备份文件夹 %1，因此没有向电台写入任何数据。取消勾选“先备份电台”即可不备份直接写入。</translation>
    </message>
    <message>
        <source>The read from the radio on %1 did not complete.</source>
        <translation>从 %1 上的电台读数据未完成。</translation>
    </message>
    <message>
        <source>The serial trace cannot be written, so the transfer was not started.</source>
        <translation>无法写入串口记录，因此传输没有开始。</translation>
    </message>
    <message>
        <source>The serial trace could not be written completely to %1.</source>
        <translation>串口记录未能完整写入 %1。</translation>
    </message>
    <message>
        <source>The write to the radio on %1 did not complete.</source>
        <translation>向 %1 上的电台写数据未完成。</translation>
    </message>
    <message>
        <source>Verifying %1: reading the radio back</source>
        <translation>正在校验 %1：回读电台</translation>
    </message>
    <message>
        <source>Write to the radio again; if they still differ, the radio may be faulty.</source>
        <translation>请重新写入电台；如果仍不一致，电台可能有故障。</translation>
    </message>
    <message>
        <source>Writing to %1</source>
        <translation>正在向 %1 写数据</translation>
    </message>
    <message>
        <source>Writing to the radio on %1: the channels cannot be changed until the transfer has ended.</source>
        <translation>正在向 %1 上的电台写数据：传输结束前不能修改信道。</translation>
    </message>
    <message>
        <source>Wrote the radio on %1 and verified it in %2 s: it holds what was sent.</source>
        <translation>已写入 %1 上的电台并校验通过，用时 %2 秒：电台中的数据与写入的一致。</translation>
    </message>
    <message>
        <source>Wrote the radio on %1 in %2 s.</source>
        <translation>已写入 %1 上的电台，用时 %2 秒。</translation>
    </message>
    <message>
        <source>Wrote the radio on %1 in %2 s; not verified.</source>
        <translation>已写入 %1 上的电台，用时 %2 秒；未校验。</translation>
    </message>
    <message>
        <source>Wrote the radio on %1; the verify found %2 difference(s).</source>
        <translation>已写入 %1 上的电台；校验发现 %2 处不一致。</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>另有 %1 项</translation>
    </message>
    <message>
        <source>%1 of %2: backing up the radio on %3 before writing to it</source>
        <translation>第%1步（共%2步）：写入前备份%3上的电台</translation>
    </message>
    <message>
        <source>%1 of %2: writing to %3</source>
        <translation>第%1步（共%2步）：写入%3</translation>
    </message>
    <message>
        <source>%1 of %2: verifying %3, reading the radio back</source>
        <translation>第%1步（共%2步）：校验%3，读回电台数据</translation>
    </message>
    <message>
        <source>%1 of %2: backing up the radio on %3...</source>
        <translation>第%1步（共%2步）：正在备份%3上的电台...</translation>
    </message>
    <message>
        <source>%1 of %2: writing to the radio on %3...</source>
        <translation>第%1步（共%2步）：正在向%3上的电台写数据...</translation>
    </message>
    <message>
        <source>%1 of %2: verifying the radio on %3...</source>
        <translation>第%1步（共%2步）：正在校验%3上的电台...</translation>
    </message>
    <message>
        <source>Reading from the radio on %1...</source>
        <translation>正在从%1上的电台读数据...</translation>
    </message>
    <message>
        <source>Writing to the radio on %1...</source>
        <translation>正在向%1上的电台写数据...</translation>
    </message>
    <message>
        <source>, %1 bytes/s, %2 left in all</source>
        <translation>，%1 字节/秒，全部剩余 %2</translation>
    </message>
    <message>
        <source>%1 is in use by a transfer in another window of this program (%2). Wait until it has ended, or choose another port in COM Setup.</source>
        <translation>%1 正被本程序另一个窗口（%2）的传输使用。请等待其结束，或在串口设置中选择其他串口。</translation>
    </message>
    <message>
        <source>read from the radio on %1 at %2</source>
        <translation>于 %2 从 %1 上的电台读出</translation>
    </message>
    <message>
        <source>%1 is being checked by Check Connection. Wait until the check has ended, then start the transfer again.</source>
        <translation>检查连接正在检查%1。请等检查结束后再开始传输。</translation>
    </message>
    <message>
        <source>C&amp;heck Connection...</source>
        <translation>检查连接(&amp;H)...</translation>
    </message>
    <message>
        <source>Setup &gt; Check Connection... finds out why the radio does not answer.</source>
        <translation>“设置 &gt; 检查连接...”可以查明电台为何不应答。</translation>
    </message>
    <message>
        <source>The serial trace of the failed handshake is kept for a support report in %1.</source>
        <translation>握手失败时的串口记录已保存在 %1，供技术支持使用。</translation>
    </message>
</context>
<context>
    <name>CBackupsDlg</name>
    <message>
        <source>%1 - backup of %2, %3</source>
        <translation>%1 - %2 的备份，%3</translation>
    </message>
    <message>
        <source>Backups</source>
        <translation>备份</translation>
    </message>
    <message>
        <source>Backups in %1:</source>
        <translation>%1 中的备份：</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>信道数</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日期</translation>
    </message>
    <message>
        <source>First names</source>
        <translation>前几个信道名</translation>
    </message>
    <message>
        <source>Keep the newest</source>
        <translation>保留最新的</translation>
    </message>
    <message>
        <source>No backups yet in %1.</source>
        <translation>%1 中还没有备份。</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Pinned</source>
        <translation>固定</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>backups (pinned ones are never deleted)</source>
        <translation>个备份（固定的备份永不删除）</translation>
    </message>
</context>
<context>
    <name>CCheckConnectionDlg</name>
    <message>
        <source>Check Connection</source>
        <translation>检查连接</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>串口(&amp;P)：</translation>
    </message>
    <message>
        <source>COM1, /dev/ttyUSB0, or choose below</source>
        <translation>COM1、/dev/ttyUSB0，或从下面选择</translation>
    </message>
    <message>
        <source>&amp;Check</source>
        <translation>检查(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Find my cable...</source>
        <translation>查找数据线(&amp;F)...</translation>
    </message>
    <message>
        <source>&amp;Next</source>
        <translation>下一步(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Use this port</source>
        <translation>使用此串口(&amp;U)</translation>
    </message>
    <message>
        <source>C&amp;opy report</source>
        <translation>复制报告(&amp;O)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1，%2</translation>
    </message>
    <message>
        <source>Check tells whether the radio answers on this port, and if not, why. Find my cable tells which port the cable is.</source>
        <translation>“检查”查看电台在此串口上是否应答，若不应答则说明原因。“查找数据线”找出数据线接在哪个串口。</translation>
    </message>
    <message>
        <source>What to do:</source>
        <translation>应当怎样做：</translation>
    </message>
    <message>
        <source>What was found:</source>
        <translation>查到的情况：</translation>
    </message>
    <message>
        <source>The steps that ran:</source>
        <translation>已运行的步骤：</translation>
    </message>
    <message>
        <source>Type the port to check, or choose one from the list.</source>
        <translation>请输入要检查的串口，或从列表中选择。</translation>
    </message>
    <message>
        <source>%1 is being checked already.</source>
        <translation>%1 已在检查中。</translation>
    </message>
    <message>
        <source>%1 is in use by a transfer in this program (%2). Wait until it has ended, then check again.</source>
        <translation>%1 正被本程序的传输使用（%2）。请等传输结束后再检查。</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>正在打开 %1...</translation>
    </message>
    <message>
        <source>Looking for other programs that have the port open...</source>
        <translation>正在查找打开着该串口的其他程序...</translation>
    </message>
    <message>
        <source>Sending the entry code, attempt %1 of %2...</source>
        <translation>正在发送进入编程模式的代码，第 %1 次，共 %2 次...</translation>
    </message>
    <message>
        <source>Asking the radio for its identification...</source>
        <translation>正在向电台索取识别码...</translation>
    </message>
    <message>
        <source>Sending the closing acknowledgement...</source>
        <translation>正在发送结束确认...</translation>
    </message>
    <message>
        <source>The check was stopped.</source>
        <translation>检查已停止。</translation>
    </message>
    <message>
        <source>The check of %1 was stopped before it came to a verdict.</source>
        <translation>对 %1 的检查在得出结论前已停止。</translation>
    </message>
    <message>
        <source>Checked in %1 s.</source>
        <translation>检查用时 %1 秒。</translation>
    </message>
    <message>
        <source>Stopping the check...</source>
        <translation>正在停止检查...</translation>
    </message>
    <message>
        <source>no serial device</source>
        <translation>没有串口设备</translation>
    </message>
    <message>
        <source>Step 1 of 2: unplug the cable from the computer, then press Next.</source>
        <translation>第 1 步（共 2 步）：从电脑上拔下数据线，然后按“下一步”。</translation>
    </message>
    <message>
        <source>Step 1 of 2: unplug the programming cable from the computer&apos;s USB socket. If it is unplugged already, press Next.</source>
        <translation>第 1 步（共 2 步）：从电脑的 USB 插口上拔下数据线。如果本来就没插，请按“下一步”。</translation>
    </message>
    <message>
        <source>Serial devices present now:</source>
        <translation>当前的串口设备：</translation>
    </message>
    <message>
        <source>Step 2 of 2: plug the cable in again. The device that appears is the cable.</source>
        <translation>第 2 步（共 2 步）：重新插上数据线。新出现的设备就是数据线。</translation>
    </message>
    <message>
        <source>Gone when the cable was unplugged:</source>
        <translation>拔下数据线时消失的设备：</translation>
    </message>
    <message>
        <source>Step 2 of 2: plug the cable in. Waiting for it, %1 s left.</source>
        <translation>第 2 步（共 2 步）：插上数据线。正在等待，还剩 %1 秒。</translation>
    </message>
    <message>
        <source>The cable is %1.</source>
        <translation>数据线是 %1。</translation>
    </message>
    <message>
        <source>Press Use this port to make it the port of this window and of COM Setup, then Check to try the radio on it.</source>
        <translation>按“使用此串口”把它设为本窗口和串口设置所用的串口，然后按“检查”试一试电台。</translation>
    </message>
    <message>
        <source>%1 is now the port of this window and of COM Setup. Press Check to try the radio on it.</source>
        <translation>%1 现在是本窗口和串口设置所用的串口。按“检查”试一试电台。</translation>
    </message>
    <message>
        <source>Find my cable was stopped; the port is as it was.</source>
        <translation>已停止查找数据线；串口保持不变。</translation>
    </message>
    <message>
        <source>Find my cable: %1</source>
        <translation>查找数据线：%1</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
</context>
</TS>
