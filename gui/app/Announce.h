#pragma once
// What the program itself tells a screen reader (the grid's current cell and
// its edits) goes through Announce, so that tests can watch it: Qt hands
// events on only while a reader listens, and never without a platform
// accessibility (as offscreen).
#include <functional>

class QAccessibleEvent;

void Announce(QAccessibleEvent* event);

// Tests install a hook that sees every event before Qt does; an empty function removes it.
using AnnounceHook = std::function<void(QAccessibleEvent*)>;
void SetAnnounceHook(AnnounceHook hook);
