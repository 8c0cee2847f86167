#include "gui/app/MessageBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDrag>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "core/app/SupportState.h"
#include "gui/app/ShownText.h"

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
DragHook& dragHook()
{
    static DragHook hook;
    return hook;
}
QString& messageCaption()
{
    static QString caption = QStringLiteral("Program");
    return caption;
}

QString BoxText(const char* text) { return QCoreApplication::translate("AppMessageBox", text); }

constexpr QChar kWordJoiner(0x2060);

// The box's Ctrl+C copies its texts without the joiners UnbrokenPaths put in.
class CCleanCopy : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
            QMetaObject::invokeMethod(
                this, [] { QApplication::clipboard()->setText(QApplication::clipboard()->text().remove(kWordJoiner)); },
                Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};

// Qt's own texts of these buttons have no mnemonic.
template <typename ButtonOf>
void NameButtons(ButtonOf buttonOf)
{
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
        if (QAbstractButton* b = buttonOf(n.button))
            b->setText(QCoreApplication::translate("MessageBox", n.text));
}

// A detail of several lines (every cell a paste refused, what a verify found)
// is shown whole: in an area that scrolls, where the user selects and copies,
// with a button that copies the message and the list at once.
QMessageBox::StandardButton DetailsBox(const MessageRequest& request)
{
    QDialog dlg(request.parent);
    dlg.setObjectName(QStringLiteral("MessageDetailsBox"));
    dlg.setWindowTitle(request.caption);
    auto* icon = new QLabel(&dlg);
    const QStyle::StandardPixmap pixmaps[] = {QStyle::SP_MessageBoxInformation, QStyle::SP_MessageBoxInformation,
                                              QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical,
                                              QStyle::SP_MessageBoxQuestion};
    if (request.icon != QMessageBox::NoIcon && request.icon <= QMessageBox::Question) {
        const int size = dlg.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dlg);
        icon->setPixmap(dlg.style()->standardIcon(pixmaps[request.icon], nullptr, &dlg).pixmap(size, size));
    }
    auto* text = new QLabel(UnbrokenPaths(ShownLines(request.text)), &dlg);
    text->setObjectName(QStringLiteral("MessageText"));
    text->setTextFormat(Qt::PlainText);  // a file name is never markup
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* details = new QPlainTextEdit(ShownLines(request.detail), &dlg);
    details->setObjectName(QStringLiteral("MessageDetails"));
    details->setReadOnly(true);
    details->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    details->setMinimumSize(details->fontMetrics().averageCharWidth() * 72, details->fontMetrics().lineSpacing() * 10);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::StandardButtons(static_cast<int>(request.buttons)), &dlg);
    NameButtons([buttons](QMessageBox::StandardButton which) {
        return buttons->button(QDialogButtonBox::StandardButton(static_cast<int>(which)));
    });
    if (QPushButton* help = buttons->button(QDialogButtonBox::Help); help && !request.helpButton.isEmpty()) {
        help->setText(request.helpButton);
        help->setIcon(QIcon());  // the style's help icon would promise the help pages
    }
    QPushButton* copy = buttons->addButton(BoxText("Cop&y"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("MessageCopy"));
    copy->setAutoDefault(false);
    QObject::connect(copy, &QPushButton::clicked, &dlg, [&request] {
        QApplication::clipboard()->setText(request.text + QLatin1Char('\n') + request.detail);
    });
    QObject::connect(buttons, &QDialogButtonBox::clicked, &dlg, [&dlg, buttons](QAbstractButton* b) {
        if (const QDialogButtonBox::StandardButton which = buttons->standardButton(b);
            which != QDialogButtonBox::NoButton)
            dlg.done(static_cast<int>(which));
    });
    if (request.defaultButton != QMessageBox::NoButton)
        if (QPushButton* b = buttons->button(QDialogButtonBox::StandardButton(static_cast<int>(request.defaultButton))))
            b->setDefault(true);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addLayout(top);
    layout->addWidget(details, 1);
    layout->addWidget(buttons);
    details->setFocus();
    const int result = ExecDialog(&dlg);
    if (result != QDialog::Rejected)
        return static_cast<QMessageBox::StandardButton>(result);
    // Escape or the window's close box: the answer that changes nothing.
    for (const QMessageBox::StandardButton b : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ok})
        if (request.buttons & b)
            return b;
    return QMessageBox::NoButton;
}
}  // namespace

void SetMessageCaption(const QString& caption) { messageCaption() = caption; }
QString MessageCaption() { return messageCaption(); }

void SetMessageHook(MessageHook hook) { messageHook() = std::move(hook); }
void SetDialogHook(DialogHook hook) { dialogHook() = std::move(hook); }
void SetDragHook(DragHook hook) { dragHook() = std::move(hook); }

QMessageBox::StandardButton AppMessageBox(const MessageRequest& message)
{
    MessageRequest request = message;
    if (request.caption.isEmpty())
        request.caption = MessageCaption();
    // Kept for a support report (the last few); a failure to keep it is silent.
    RecordShownMessage(
        (request.detail.isEmpty() ? request.text : request.text + QLatin1Char('\n') + request.detail).toStdString());
    if (messageHook())
        return messageHook()(request);
    if (request.detail.contains(QLatin1Char('\n')))
        return DetailsBox(request);
    // Owned here, unless its parent window goes while it is open and takes it along.
    const QPointer<QMessageBox> box = CreateMessageBox(request);
    const int answer = box->exec();
    delete box.data();
    return static_cast<QMessageBox::StandardButton>(answer);
}

QMessageBox* CreateMessageBox(const MessageRequest& request)
{
    const QString caption = request.caption.isEmpty() ? MessageCaption() : request.caption;
    // A message quotes file and port names: plain text, never markup.
    auto* box = new QMessageBox(request.icon, caption, UnbrokenPaths(ShownLines(request.text)), request.buttons,
                                request.parent);
    box->setTextFormat(Qt::PlainText);
    auto* cleanCopy = new CCleanCopy(box);
    box->installEventFilter(cleanCopy);
    for (QLabel* label : box->findChildren<QLabel*>())
        label->installEventFilter(cleanCopy);
    if (!request.detail.isEmpty()) {
        box->setInformativeText(UnbrokenPaths(ShownLines(request.detail)));
        // The box gives its format to the text's label only.
        if (auto* detail = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
            detail->setTextFormat(Qt::PlainText);
    }
    if (request.defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(request.defaultButton);
    NameButtons([box](QMessageBox::StandardButton which) { return box->button(which); });
    if (QAbstractButton* help = box->button(QMessageBox::Help); help && !request.helpButton.isEmpty()) {
        help->setText(request.helpButton);
        help->setIcon(QIcon());  // the style's help icon would promise the help pages
    }
    // The box sizes itself to its text and leaves 50 pixels beside the caption
    // in the normal face; window managers draw it bold beside an icon and up
    // to three buttons, and elide the middle of what does not fit, so a short
    // message under a long name lost the name ("Tanage...o Works").
    const int width = CaptionWidth(box, caption);
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                      grid->columnCount());
    return box;
}

int CaptionWidth(const QWidget* window, const QString& caption)
{
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const int bar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    int width = QFontMetrics(titleFont).horizontalAdvance(caption) + 5 * bar;
    if (const QScreen* screen = window->screen())
        width = std::min(width, screen->availableGeometry().width() * 3 / 4);
    return width;
}

void FitCaption(QWidget* window)
{
    // Measured as shown: the title bar's height follows the polished style.
    window->ensurePolished();
    // A layout sets its window's minimum size itself: the room goes into it.
    const int width = CaptionWidth(window, window->windowTitle());
    if (QLayout* layout = window->layout())
        layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum));
    else
        window->setMinimumWidth(std::max(window->minimumWidth(), width));
}

QString UnbrokenPaths(const QString& text)
{
    // A word joiner after each "/" that a name goes on from.
    QString out;
    out.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == QLatin1Char('/') && i + 1 < text.size() && !text[i + 1].isSpace())
            out += kWordJoiner;
    }
    return out;
}

QMessageBox::StandardButton AppMessageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::Icon icon, const QString& caption)
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

Qt::DropAction ExecDrag(QDrag* drag, Qt::DropActions actions, Qt::DropAction defaultAction)
{
    if (dragHook())
        return dragHook()(drag);
    return drag->exec(actions, defaultAction);
}
