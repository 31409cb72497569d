// Between Qt's drag events and the drop target's values: controls, points, key states and
// effects.
#pragma once

#include <QPoint>
#include <QWidget>
#include <Qt>

#include "dragdrop/target/drop_platform.h"

namespace foliotally::dragdrop {

// The drop target knows a control by identity only; on this side a control is a widget.
inline TWinControl* AsWinControl(QWidget* widget) { return reinterpret_cast<TWinControl*>(widget); }
inline QWidget* AsWidget(TWinControl* control) { return reinterpret_cast<QWidget*>(control); }

inline TPoint ToPoint(QPoint p) { return {p.x(), p.y()}; }
inline QPoint ToQPoint(TPoint p) { return {p.x, p.y}; }

// The key state of a drag call from the drag's mouse buttons and modifier keys.
uint32_t KeyStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
// The effects the source allows.
uint32_t EffectsOf(Qt::DropActions actions);
// The action the source is told for an effect (the scroll flag plays no part); a set of
// several effects tells the first of copy, move, link.
Qt::DropAction ActionOf(uint32_t effect);

// The widget whose events a control's drops arrive in: a scroll area's viewport, else the
// control itself.
QWidget* DropAreaOf(QWidget* control);

}  // namespace foliotally::dragdrop
