#pragma once
// Control ids: the number a control of a dialog or form template has. F1 turns
// the focused control's id into a help context, and the tests find controls
// by it.
class QWidget;

// The control id a widget of the program carries (0 when it has none).
int ControlId(const QWidget* w);
// Gives w the id, and the object name "ctl<id>" it is found by.
void SetControlId(QWidget* w, int id);
