#include "gui/app/AppContext.h"

#include <QPointer>
#include <QWidget>

#include "core/app/Globals.h"
#include "core/app/IniFile.h"
#include "gui/app/QtSettingsStore.h"

namespace {
QPointer<QWidget>& mainWindow()
{
    static QPointer<QWidget> w;
    return w;
}
ISettingsStore*& installedStore()
{
    static ISettingsStore* s = nullptr;
    return s;
}
}  // namespace

void SetMainWindow(QWidget* w) { mainWindow() = w; }
QWidget* MainWindow() { return mainWindow().data(); }

void SetMainCaption(const QString& caption)
{
    g_strTitle = caption.toStdString();
    if (QWidget* w = mainWindow().data()) {
        w->setProperty(kMainCaptionProperty, caption);
        w->setWindowTitle(caption);
    }
}

ISettingsStore& AppSettings()
{
    static CQtSettingsStore qtStore;
    if (installedStore())
        return *installedStore();
    return qtStore;
}

void SetAppSettingsStore(ISettingsStore* store) { installedStore() = store; }

QString IniString(const char* section, const char* key) { return FromIni(theIniFile.GetString(section, key, "")); }

QString IniString(const std::string& section, const char* key)
{
    return FromIni(theIniFile.GetString(section, key, ""));
}
