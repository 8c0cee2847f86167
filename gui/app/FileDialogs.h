#pragma once
// The program's file dialogs are Windows' own on Windows (its places, its
// network drives, what Explorer shows); elsewhere Qt's, the same on every
// desktop, whatever portal or theme it has.
#include <QFileDialog>

inline void UseProgramFileDialog(QFileDialog& dialog)
{
#ifndef _WIN32
    dialog.setOption(QFileDialog::DontUseNativeDialog);
#else
    (void)dialog;
#endif
}
