// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPoint;
class QRect;
class QWidget;

// Keeps our windows inside the screen's available area (without the panels): a window placed
// beside or over another one may otherwise open partly off the screen, out of the user's reach.
namespace ScreenFit {

// The top left that brings frame inside area by the smallest shift; a frame larger than the area
// keeps its top left corner inside, where the title bar and the first controls are.
QPoint inside(const QRect &frame, const QRect &area);
// Moves a top-level window, by its outer frame, back inside the available area of the screen
// it is on; a window already inside does not move.
void keepOnScreen(QWidget *window);
// Shrinks a dialog of our own to the available area where its preferred size is larger.
void fitDialog(QWidget *dialog);

} // namespace ScreenFit
