#include "tests/gui/support/ProgramFixture.h"

#include <QApplication>
#include <QFile>
#include <QTest>

#include "core/app/IniFile.h"
#include "gui/app/Announce.h"
#include "gui/app/AppContext.h"
#include "gui/app/HelpAccess.h"
#include "gui/app/MessageBox.h"
#include "gui/app/Relaunch.h"
#include "gui/frame/MainFrame.h"
#include "gui/link/LinkSettings.h"
#include "gui/link/TransferWorker.h"

bool ProgramFixture::NewProgramDir(const ShellIni& ini)
{
    m_dir = std::make_unique<ShellDir>();
    return m_dir->Prepare(ini);
}

bool ProgramFixture::StartProgram(const QStringList& args)
{
    CProgramApp::SetProgramDirForTests(m_dir->Path());
    m_app = std::make_unique<CProgramApp>();
    const bool started = m_app->InitInstance(args);
    m_frame = m_app->MainFrame();
    return started;
}

bool ProgramFixture::ShowFrame(QSize size, bool active)
{
    m_frame->showNormal();
    if (size.isValid())
        m_frame->resize(size);
    if (!active)
        return QTest::qWaitForWindowExposed(m_frame);
    QApplication::setActiveWindow(m_frame);
    return QTest::qWaitForWindowActive(m_frame);
}

void ProgramFixture::KeepDataInDir()
{
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir->FilePath(QStringLiteral("data"))));
}

void ProgramFixture::init()
{
    SetAppSettingsStore(&m_store);
    m_dataHome = qgetenv("XDG_DATA_HOME");
}

void ProgramFixture::cleanup()
{
    m_app.reset();
    m_frame = nullptr;
    // A transfer still under way uses the folder removed below.
    CTransferWorker::WaitForAll();
    // The folder goes: nothing to write back to it at exit.
    theIniFile.SetWriteBackOnClose(false);
    m_dir.reset();
    // Empty reads as unset.
    qputenv("XDG_DATA_HOME", m_dataHome);
    qunsetenv("PROG_DEVICE_ROOT");
    SetTracePath(QString(), nullptr);
    SetMessageHook({});
    SetDialogHook({});
    SetDragHook({});
    SetRelaunchHook(nullptr);
    SetAnnounceHook({});
    SetHelpHook(nullptr);
    ResetHelpState();
    SetAppSettingsStore(nullptr);
    m_store = CMemorySettingsStore();
}
