#pragma once
class QWidget;

// Spin boxes and combo boxes inside a scrolled form take the mouse wheel only
// when they have the keyboard focus; otherwise the wheel scrolls the form, so
// a value never changes while the user only scrolls past it.
void guardWheel(QWidget *form);
