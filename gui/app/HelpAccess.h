#pragma once
// The one way into the help: every F1 handler, the Help menu and the main
// frame's help command call HtmlHelp with a context number (a command id, a
// dialog's id or the id of the focused control). The help named after
// g_strHelpFile ("enHelp.chm" -> the folder enHelp/ beside the program, its
// pages and its index enHelp.qhp) is read on first use and shown in the help
// window at the topic registered for that context number.
//
// Control ids repeat between dialogs (1126 is the grid's Cha Name editor and
// Option Features' Scan Mode list), so a dialog passes its own id as well: its
// topics are registered as "<dialog>.<control>", and "<dialog>" names the
// dialog's overview topic.
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// Opens the help at the topic of context, in dialog when dialog is not 0.
// Without the help's folder the request does nothing, shows nothing, and no
// later request tries to read it again.
void HtmlHelp(int context, int dialog = 0);

// The topic for a context number: "<dialog>.<context>", else the dialog's
// overview, for a dialog; the number itself otherwise. The help's start page
// when nothing matches; an empty URL when the help is unavailable. Topics are
// qthelp://<namespace>/doc/<page>#<section>, the namespace the help's index names.
QUrl HelpTopicFor(int context, int dialog = 0);

// True once reading the help has failed.
bool IsHelpUnavailable();

// Closes the help window and lets go of the help read; the next request reads it again.
void CloseHelp();

// Directory that holds the help folders (the program's directory by default).
void SetHelpDirectory(const QString& dir);
QString HelpDirectory();

// The help window, created by the first request that found a topic (nullptr
// before). It has Back, Forward and Contents buttons and, beside the page, the
// table of contents, the index of topics and a full-text search.
QWidget* HelpWindow();

// Test support: observe requests instead of showing the window, count the
// attempts to read the help, and forget the state read.
using HelpHook = std::function<void(int context, const QUrl& topic)>;
void SetHelpHook(HelpHook hook);
int HelpLoadAttempts();
void ResetHelpState();
