#include "gui/link/LinkSession.h"

#include <QMetaMethod>

#include "gui/link/LinkSettings.h"

CLinkSession::CLinkSession(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("LinkSession"));
    // The remembered port, and COM Setup's choices in other windows followed.
    m_strPort = RememberedPort();
    connect(CPortChoice::Instance(), &CPortChoice::Chosen, this, [this](const QString& port) {
        if (m_bOwnPort || port == m_strPort)
            return;
        m_strPort = port;
        emit PortChanged();
    });
}

void CLinkSession::SetOwnPort(const QString& port)
{
    m_strPort = port;
    m_bOwnPort = true;
    emit PortChanged();
}

void CLinkSession::FollowPort(const QString& port)
{
    m_strPort = port;
    m_bOwnPort = false;
    emit PortChanged();
}

void CLinkSession::SetTransferState(const QString& text)
{
    m_strTransferState = text;
    emit TransferStatus(text);
}

bool CLinkSession::DeliverRadioRead(const Image& image, const QString& port)
{
    if (!isSignalConnected(QMetaMethod::fromSignal(&CLinkSession::RadioRead))) {
        SetOwnPort(port);
        return false;
    }
    emit RadioRead(image, port);
    return true;
}
