#pragma once
// The link's state of one document window: the port its transfers use (COM
// Setup's remembered choice, or one of its own), the direction of its job,
// and what its transfers came to. Its controller (CLinkController) owns it
// and runs the transfers; the frame reads it for the status bar and hears
// from it when a read, the port or a transfer's state changes.
#include <QObject>
#include <QString>

#include "core/radio/Image.h"

class CLinkSession : public QObject {
    Q_OBJECT
public:
    explicit CLinkSession(QObject* parent = nullptr);

    // The window keeps port whatever COM Setup chooses in other windows (the
    // radio read in it).
    void SetOwnPort(const QString& port);
    // The window uses port and follows COM Setup's choices from now on.
    void FollowPort(const QString& port);
    bool HasOwnPort() const { return m_bOwnPort; }

    // What the status bar says about this window's transfers: the one running,
    // else how the last one ended; "" before the first.
    const QString& TransferState() const { return m_strTransferState; }
    void SetTransferState(const QString& text);

    // Hands a complete read to whoever listens to RadioRead; false when nobody
    // does: the read then goes into this window's document, and the radio's
    // port becomes its own.
    bool DeliverRadioRead(const Image& image, const QString& port);

    // The port of this window's transfers, as the user named it ("com1", a
    // device path): COM Setup's remembered choice, or one of its own.
    QString m_strPort;
    // The direction of this window's job: set when Read or Write opens the
    // Process window, and held until the next one, its transfer included.
    bool m_bWrite = false;

signals:
    // A complete read from the radio on port (as the user named it): whoever
    // listens shows it as a new document.
    void RadioRead(const Image& image, const QString& port);
    // The port of the next transfers changed (COM Setup's OK, here or in
    // another window this one follows; a read that gave it its own).
    void PortChanged();
    // TransferState changed: a transfer or one of its phases began, or it ended.
    void TransferStatus(const QString& text);

private:
    bool m_bOwnPort = false;
    QString m_strTransferState;
};
