// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldchecks.h"

#include <QLabel>

namespace {

void setCaptionColour(QLabel *caption, const QColor &colour)
{
    if (!caption)
        return;
    // A disabled caption keeps the style's grey, so a greyed field looks greyed.
    QPalette p = caption->palette();
    p.setColor(QPalette::Active, QPalette::WindowText, colour);
    p.setColor(QPalette::Inactive, QPalette::WindowText, colour);
    caption->setPalette(p);
}

} // namespace

void FlagField(QLabel *caption, QLabel *marker)
{
    setCaptionColour(caption, QColor(255, 0, 0));
    if (marker)
        marker->show();
}

void UnflagField(QLabel *caption, QLabel *marker)
{
    setCaptionColour(caption, QColor(0, 0, 0));
    if (marker)
        marker->hide();
}

bool IsFieldFlagged(const QLabel *marker)
{
    return marker && !marker->isHidden();
}
