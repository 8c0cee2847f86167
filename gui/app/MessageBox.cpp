#include "gui/app/MessageBox.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QStyle>
#include <algorithm>

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
    // Owned here, unless its parent window goes while it is open and takes it along.
    const QPointer<QMessageBox> box = CreateMessageBox(request);
    const int answer = box->exec();
    delete box.data();
    return static_cast<QMessageBox::StandardButton>(answer);
}

QMessageBox* CreateMessageBox(const MessageRequest& request)
{
    const QString caption = request.caption.isEmpty() ? MessageCaption() : request.caption;
    auto* box = new QMessageBox(request.icon, caption, request.text, request.buttons, request.parent);
    if (!request.detail.isEmpty())
        box->setInformativeText(request.detail);
    if (request.defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(request.defaultButton);
    // Qt's own texts of these buttons have no mnemonic.
    const struct {
        QMessageBox::StandardButton button;
        const char* text;
    } named[] = {
        {QMessageBox::Save, QT_TRANSLATE_NOOP("MessageBox", "&Save")},
        {QMessageBox::Discard, QT_TRANSLATE_NOOP("MessageBox", "&Discard")},
        {QMessageBox::Cancel, QT_TRANSLATE_NOOP("MessageBox", "&Cancel")},
        {QMessageBox::Retry, QT_TRANSLATE_NOOP("MessageBox", "&Retry")},
    };
    for (const auto& n : named)
        if (QAbstractButton* b = box->button(n.button))
            b->setText(QCoreApplication::translate("MessageBox", n.text));
    // The box sizes itself to its text and leaves 50 pixels beside the caption
    // in the normal face; window managers draw it bold beside an icon and up
    // to three buttons, and elide the middle of what does not fit, so a short
    // message under a long name lost the name ("Tanage...o Works").
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int bar = box->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, box);
    int width = QFontMetrics(titleFont).horizontalAdvance(caption) + 5 * bar;
    if (const QScreen* screen = box->screen())
        width = std::min(width, screen->availableGeometry().width() * 3 / 4);
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return box;
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
