#pragma once
// The one way into the help: every F1 handler, the Help menu and the main
// frame's help command call HtmlHelp with a context number (a command id, a
// dialog's id or the id of the focused control). The help collection named
// after g_strHelpFile ("enHelp" -> enHelp.qhc) is opened on first use and shown
// in a help window at the topic registered for that context number.
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
// Without a help collection the request does nothing, shows nothing, and no
// later request tries to load it again.
void HtmlHelp(int context, int dialog = 0);

// The topic for a context number: "<dialog>.<context>", else the dialog's
// overview, for a dialog; the number itself otherwise. The collection's start
// page when nothing matches; an empty URL when the help is unavailable.
QUrl HelpTopicFor(int context, int dialog = 0);

// True once loading the help collection has failed.
bool IsHelpUnavailable();

// Closes the help window and lets go of the collection; the next request
// opens them again. Run while the event loop's timers still work: the help
// window's views are told when the engine's models go, and schedule a redraw.
void CloseHelp();

// Directory that holds the help collections (the program's directory by default).
void SetHelpDirectory(const QString& dir);
QString HelpDirectory();

// The help window, created by the first request that found a topic (nullptr
// before). It has Back, Forward and Contents buttons, the table of contents and
// a full-text search beside the page.
QWidget* HelpWindow();

// Test support: observe requests instead of showing the window, count the
// attempts to load the collection, and forget the loaded state.
using HelpHook = std::function<void(int context, const QUrl& topic)>;
void SetHelpHook(HelpHook hook);
int HelpLoadAttempts();
void ResetHelpState();
