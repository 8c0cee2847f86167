#pragma once
// Registers the pictures compiled into the program (icons, background). The
// library is static, so the registration is pulled in by calling this.
void EnsureAppResources();

class QIcon;
class QPixmap;
// "title.ico" in the current directory brands the windows and the About box;
// without a readable one, the program's own icon. Only a regular file is read:
// a FIFO of that name would block the start for good.
QIcon TitleIcon();
QPixmap TitlePixmap(int size);
