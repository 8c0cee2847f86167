#include "gui/app/MessageBox.h"

#include <QDialog>

namespace {
MessageHook& messageHook()
{
    static MessageHook hook;
    return hook;
}
DialogHook& dialogHook()
{
    static DialogHook hook;
    return hook;
}
QString& messageCaption()
{
    static QString caption = QStringLiteral("Program");
    return caption;
}
}  // namespace

void SetMessageCaption(const QString& caption) { messageCaption() = caption; }
QString MessageCaption() { return messageCaption(); }

void SetMessageHook(MessageHook hook) { messageHook() = std::move(hook); }
void SetDialogHook(DialogHook hook) { dialogHook() = std::move(hook); }

QMessageBox::StandardButton AppMessageBox(const MessageRequest& message)
{
    MessageRequest request = message;
    if (request.caption.isEmpty())
        request.caption = MessageCaption();
    if (messageHook())
        return messageHook()(request);
    QMessageBox box(request.icon, request.caption, request.text, request.buttons, request.parent);
    if (!request.detail.isEmpty())
        box.setInformativeText(request.detail);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton AppMessageBox(QWidget* parent, const QString& text,
                                          QMessageBox::StandardButtons buttons, QMessageBox::Icon icon,
                                          const QString& caption)
{
    MessageRequest r;
    r.parent = parent;
    r.text = text;
    r.caption = caption;
    r.buttons = buttons;
    r.icon = icon;
    return AppMessageBox(r);
}

int ExecDialog(QDialog* dialog)
{
    if (dialogHook())
        return dialogHook()(dialog);
    return dialog->exec();
}
