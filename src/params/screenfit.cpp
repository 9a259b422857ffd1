// SPDX-License-Identifier: GPL-3.0-or-later
#include "screenfit.h"

#include <algorithm>

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace ScreenFit {

namespace {

    QRect availableArea(const QWidget *window)
    {
        // The screen under the window's centre, so a window on a second screen stays there.
        const QScreen *screen = QGuiApplication::screenAt(window->frameGeometry().center());
        if (!screen)
            screen = window->screen();
        return screen ? screen->availableGeometry() : QRect();
    }

} // namespace

QPoint inside(const QRect &frame, const QRect &area)
{
    const int left = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    return { left, top };
}

void keepOnScreen(QWidget *window)
{
    const QRect area = availableArea(window);
    const QRect frame = window->frameGeometry();
    if (area.isEmpty())
        return;
    const QPoint topLeft = inside(frame, area);
    if (topLeft != frame.topLeft())
        window->move(topLeft); // move() places the outer frame
}

void fitDialog(QWidget *dialog)
{
    const QRect area = availableArea(dialog);
    if (area.isEmpty())
        return;
    const QSize decoration = dialog->frameGeometry().size() - dialog->geometry().size();
    const QSize room = area.size() - decoration;
    dialog->setMaximumSize(dialog->maximumSize().boundedTo(room));
    dialog->resize(dialog->sizeHint().boundedTo(room));
}

} // namespace ScreenFit
