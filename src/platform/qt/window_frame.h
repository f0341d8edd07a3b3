#pragma once
// Where a window goes on screen. The models place a window as the original
// platform did: its Left, Top, Width and Height are the outer frame, title
// bar and borders included, so a window tiled into the work area lies in it
// whole. Qt places a window by what lies inside the frame. The frame between
// the two is what the window manager was seen to draw around a window (the
// forms' Screen keeps it, so a form's inner size agrees); until one has been
// seen, and offscreen where nothing is drawn around a window, it is the
// classic desktop's, so scripts and snapshots come out alike everywhere.
//
//   PlaceFrame(window, {left, top, width, height}, forms::vbSizable);
//   const QRect outer = OuterFrame(window, forms::vbSizable);
//
// A window that learns the frame (LearnFrame, from its show and move
// events) tells every top-level window with a FrameLearned event, so the
// windows placed with the assumed frame are placed again.

#include <QEvent>
#include <QRect>
#include <optional>

#include "platform/forms/screen.h"

class QWidget;

namespace platform::qt {

// The inside of the outer frame `frame`, and the outer frame of an inside.
QRect InsideOf(const QRect& frame, const forms::FrameMargins& margins);
QRect FrameOf(const QRect& inside, const forms::FrameMargins& margins);

// The frame the window manager draws around `window`; nothing while it has
// not said so (not shown yet, offscreen, no window manager, no frame).
std::optional<forms::FrameMargins> DrawnFrame(const QWidget& window);
// Tells the Screen the frame drawn around `window` (a normal window with a
// title bar or a tool window) once it is known; when that is news, every
// top-level window gets a FrameLearned event. Answers whether it was news.
bool LearnFrame(const QWidget& window);
QEvent::Type FrameLearned();
// LearnFrame of every window on screen: a window about to be placed uses
// the frame of those shown before it (the main window's, at the least).
void LearnShownFrames();

// The outer frame of `window` when it is a window of `borderStyle`, and the
// placing of its inside so that its outer frame is `frame`.
QRect OuterFrame(const QWidget& window, int borderStyle);
void PlaceFrame(QWidget& window, const QRect& frame, int borderStyle);

}  // namespace platform::qt
