#pragma once
// The one way into the help: every F1 handler and the main frame's help
// command call HtmlHelp with a context number (a command id, a dialog's id or
// the id of the focused control). The help collection named after
// g_strHelpFile ("enHelp" -> enHelp.qhc) is opened on first use and shown in a
// help window at the topic registered for that context number.
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// Opens the help at the topic of context. Without a help collection the request
// does nothing, shows nothing, and no later request tries to load it again.
void HtmlHelp(int context);

// The topic for a context number; the collection's start page for a number that
// has no topic of its own; an empty URL when the help is unavailable.
QUrl HelpTopicFor(int context);

// True once loading the help collection has failed.
bool IsHelpUnavailable();

// Directory that holds the help collections (the program's directory by default).
void SetHelpDirectory(const QString& dir);
QString HelpDirectory();

// The help window, created by the first request that found a topic (nullptr before).
QWidget* HelpWindow();

// Test support: observe requests instead of showing the window, count the
// attempts to load the collection, and forget the loaded state.
using HelpHook = std::function<void(int context, const QUrl& topic)>;
void SetHelpHook(HelpHook hook);
int HelpLoadAttempts();
void ResetHelpState();
