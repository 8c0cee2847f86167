#pragma once
// File dialogs open in the folder where the user last chose a file of the
// same kind; the folders are kept in the per-user settings across runs.
#include <QString>

class QFileDialog;

enum class FolderKind {
    Documents,  // Open, Save As
    Channels,   // Import Channels, Export Channels
    Trace,      // Log Serial Traffic
    Report,     // Print to a PDF file
    Support,    // Help > Save Support Report
};

// The folder last used for `kind` while it still is a folder; empty otherwise.
QString LastFolder(FolderKind kind);
// Opens `dialog` in that folder, if there is one.
void OpenInLastFolder(QFileDialog& dialog, FolderKind kind);
// Remembers the folder holding `file` for `kind`.
void RememberFolder(FolderKind kind, const QString& file);
