#pragma once
// The window tests' fixture: each test starts the program from a throw-away
// folder of its own with its settings in memory, and cleanup() ends it and
// undoes every hook a test may have set, so no test sees another's state.
// A test class derives from it; one that needs more at init() or cleanup()
// overrides the slot and calls this one first.
#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <memory>

#include "core/app/SettingsStore.h"
#include "gui/ProgramApp.h"
#include "tests/gui/support/ShellSupport.h"

class CMainFrame;

class ProgramFixture : public QObject {
    Q_OBJECT

protected:
    std::unique_ptr<ShellDir> m_dir;
    std::unique_ptr<CProgramApp> m_app;
    CMemorySettingsStore m_store;
    CMainFrame* m_frame = nullptr;

    // A new program folder holding Program.ini from `ini` and both language modules.
    bool NewProgramDir(const ShellIni& ini = {});
    // The program started from m_dir with `args` as its command line, m_frame its
    // main window; m_app stays for a look at why it did not start.
    bool StartProgram(const QStringList& args = {});
    // The main window shown at `size` (its own when empty): exposed, or active.
    bool ShowFrame(QSize size = {}, bool active = false);
    // Backups, messages and transfer traces go to data/ in m_dir until cleanup().
    void KeepDataInDir();

protected slots:
    virtual void init();
    virtual void cleanup();

private:
    QByteArray m_dataHome;  // as it was before the test
};
