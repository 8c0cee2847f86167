#pragma once
// The few process-wide services the windows share: the main window caption,
// the per-user settings store, text from Program.ini and help requests.
#include <QString>
#include <string>

#include "bridge/IniText.h"

class ISettingsStore;
class QWidget;

// Registers the main window whose caption SetMainCaption changes (nullptr to forget it).
void SetMainWindow(QWidget* mainWindow);
QWidget* MainWindow();
// The main window's property that holds the caption last set through SetMainCaption.
inline constexpr char kMainCaptionProperty[] = "mainCaption";
// Stores the caption in g_strTitle and shows it on the main window, if any.
void SetMainCaption(const QString& caption);

// The settings store (QSettings under [Setup] AppName unless a test installed another).
ISettingsStore& AppSettings();
void SetAppSettingsStore(ISettingsStore* store);  // nullptr restores the QSettings store

// theIniFile.GetString, decoded as FromIni does.
QString IniString(const char* section, const char* key);
QString IniString(const std::string& section, const char* key);
