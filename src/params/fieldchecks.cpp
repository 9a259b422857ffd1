// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldchecks.h"

#include <QLabel>
#include <QLineEdit>

#include "link/userdialogs.h"
#include "params/fieldrange.h"

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

void reportOutOfRange(
    QLineEdit *field, QLabel *caption, QLabel *marker, UserDialogs &dialogs, const QString &message)
{
    FlagField(caption, marker);
    field->setFocus(Qt::OtherFocusReason);
    field->setSelection(0, int(field->text().size()));
    dialogs.message(message, UserDialogs::Icon::Exclamation, QStringLiteral("Error"));
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

void FlagUnlessStored(bool stored, QLabel *caption, QLabel *marker)
{
    if (stored)
        UnflagField(caption, marker);
    else
        FlagField(caption, marker);
}

bool CheckRealField(
    QLineEdit *field, const RealItem &range, QLabel *caption, QLabel *marker, UserDialogs &dialogs)
{
    if (!field->isEnabled() || !FieldRange::refusesReal(field->text(), range))
        return false;
    reportOutOfRange(
        field, caption, marker, dialogs, FieldRange::message(caption ? caption->text() : QString(), range));
    return true;
}

bool CheckIntField(
    QLineEdit *field, const IntItem &range, QLabel *caption, QLabel *marker, UserDialogs &dialogs)
{
    if (!FieldRange::refusesInt(field->text(), range))
        return false;
    reportOutOfRange(
        field, caption, marker, dialogs, FieldRange::message(caption ? caption->text() : QString(), range));
    return true;
}
