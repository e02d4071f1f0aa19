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

// Puts the window's frame's top left corner at `corner`, also for a window
// that is made but not framed yet, whose move() places its client area.
void MoveFrameTo(QWidget* form, QPoint corner);

// The rule every top-level window of the application follows from the call
// on (once, after the QApplication exists): as it shows, a window the program
// gave no place is centred over the window it belongs to (else in its
// screen's available area), and every window is kept wholly on its screen
// (KeepOnScreen). The same clamp runs again once the window is shown with the
// real frame the window manager put around it, and whenever the program moves
// or resizes a shown window (as a dialog that grows while it fills in); a
// person's moves and resizes through the window manager are left alone. Drop-down menus and
// lists, which Qt keeps on screen itself, tool tips, full-screen or maximised
// windows, and windows without a frame, which place themselves with
// KeepOnScreen where they belong (beside the pointer or the icon), are left
// alone.
void KeepWindowsOnScreen();

// Keeps a window wholly on the screen it opens on (the one holding the
// middle of its frame, else the nearest): its frame clamped into that screen's
// available area, its client area shrunk when the frame is larger (never
// below its minimum size). `area` overrides the screen's area when valid.
void KeepOnScreen(QWidget* form, const QRect& area = {});

}  // namespace corvane
