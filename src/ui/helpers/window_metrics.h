#pragma once

#include <QRect>

class QPoint;
class QSize;
class QWidget;

namespace corvane {

// Restores a window's size, position and state as its user left them,
// under "Form Metrics\" followed by the window's object name; values not yet
// saved keep the window as it is. A saved size of 0 keeps the current size, a
// place off the available screens moves onto the nearest, and a window saved
// minimised opens normal (maximised stays maximised).
void LoadFormMetrics(QWidget* form);

// Saves the window's size (of its client area), position (of its frame) and
// state; a minimised or maximised window saves its normal size and place.
void SaveFormMetrics(QWidget* form);

// Where to move() the window, at its size and with its frame, so that it
// stands on a screen that is there now: `wanted` when it does, else the
// nearest place that does (see LoadFormMetrics).
QPoint OnAvailableScreen(const QWidget* form, const QPoint& wanted);

// Opens a window that has no saved metrics: its client area at `wanted`, as
// far as the primary screen's available area holds it with its frame, and the
// whole window centred in that area.
void PlaceOnAvailableScreen(QWidget* form, QSize wanted);

// The one clamp every placement ends in: the frame rectangle made no larger
// than the area and moved the least distance that puts it wholly inside.
QRect ClampInto(const QRect& frame, const QRect& area);

// Keeps a window wholly on the screen it opens on (the one holding the
// middle of its frame, else the nearest): its frame clamped into that screen's
// available area, its client area shrunk when the frame is larger (never
// below its minimum size). `area` overrides the screen's area when valid.
void KeepOnScreen(QWidget* form, const QRect& area = {});

}  // namespace corvane
