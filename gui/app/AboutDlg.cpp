#include "gui/app/AboutDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include "gui/app/AppContext.h"
#include "gui/app/AppResources.h"
#include "core/app/Globals.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDlg"));
    EnsureAppResources();
    setWindowTitle(IniString(g_strLanguage, "About Title"));
    m_pIcon = new QLabel(this);
    m_pVersion = new QLabel(IniString(g_strLanguage, "Version"), this);
    m_pCopyright = new QLabel(IniString(g_strLanguage, "Copyrights"), this);
    m_pOwner = new QLabel(IniString(g_strLanguage, "Copyrights Owner"), this);
    m_pVersion->setObjectName(QStringLiteral("static1001"));
    m_pCopyright->setObjectName(QStringLiteral("static1002"));
    m_pOwner->setObjectName(QStringLiteral("static1003"));
    m_pIcon->setObjectName(QStringLiteral("static1004"));

    // "title.ico" in the current directory brands the box; else the program's own icon.
    m_pIcon->setPixmap(TitlePixmap(32));

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(m_pIcon, 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(m_pVersion, 0, 1);
    grid->addWidget(m_pCopyright, 1, 1);
    grid->addWidget(m_pOwner, 2, 1);
    grid->addWidget(ok, 0, 2, 3, 1, Qt::AlignVCenter);
    setMinimumWidth(360);
}
