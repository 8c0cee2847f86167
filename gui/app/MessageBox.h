#pragma once
// Every message box and modal dialog of the program goes through these two
// functions, so that tests can answer them without a modal loop.
#include <QMessageBox>
#include <functional>

class QDialog;
class QDrag;
class QWidget;

struct MessageRequest {
    QWidget* parent = nullptr;
    QString text;
    QString caption;
    // Shown below the text when not empty; a detail of several lines (a list)
    // in an area that scrolls, which the user can select in and copy.
    QString detail;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;  // NoButton: the box chooses
    // The text of the Help button among `buttons` when it offers something of
    // its own ("Check Connection..."); pressing it answers QMessageBox::Help.
    QString helpButton;
};

// Shows the message (or hands it to the installed hook) and returns the button pressed.
QMessageBox::StandardButton AppMessageBox(const MessageRequest& request);
// The box AppMessageBox shows, not yet shown (the caller owns it): its buttons
// carry mnemonics and it is wide enough for its caption beside a title bar's
// buttons.
QMessageBox* CreateMessageBox(const MessageRequest& request);
// The width a window needs for `caption` in its title bar, beside the window
// manager's icon and buttons (at most three quarters of its screen); a
// dialog's minimum width so that its title is never cut short.
int CaptionWidth(const QWidget* window, const QString& caption);
void FitCaption(QWidget* window);

// A message's text as its label shows it: a path breaks at no "/" of its own
// (a line ending "/" and the rest below read as two names); copying the
// box's text gives it back as it was.
QString UnbrokenPaths(const QString& text);

// Convenience: the caption defaults to MessageCaption().
QMessageBox::StandardButton AppMessageBox(QWidget* parent, const QString& text,
                                          QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                          QMessageBox::Icon icon = QMessageBox::Warning,
                                          const QString& caption = QString());

// The caption of a message that brings none of its own: "Program" until
// start-up applies the branding (the company name). Window titles never carry it.
void SetMessageCaption(const QString& caption);
QString MessageCaption();

// Runs a modal dialog (or hands it to the installed hook) and returns its result code.
int ExecDialog(QDialog* dialog);

// Runs a drag and drop (or hands it to the installed hook, which plays the
// window system's part) and returns the action the drop took.
Qt::DropAction ExecDrag(QDrag* drag, Qt::DropActions actions, Qt::DropAction defaultAction);

using MessageHook = std::function<QMessageBox::StandardButton(const MessageRequest&)>;
using DialogHook = std::function<int(QDialog*)>;
using DragHook = std::function<Qt::DropAction(QDrag*)>;
// Tests install hooks; an empty function restores the real modal behaviour.
void SetMessageHook(MessageHook hook);
void SetDialogHook(DialogHook hook);
void SetDragHook(DragHook hook);
