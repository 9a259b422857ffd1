#include "fieldchecks.h"

#include <cmath>

#include <QLabel>
#include <QLineEdit>

#include "link/userdialogs.h"
#include "link/values.h"

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

void reportOutOfRange(QLineEdit *field, QLabel *caption, QLabel *marker, UserDialogs &dialogs,
                      const QString &minimum, const QString &maximum)
{
    FlagField(caption, marker);
    field->setFocus(Qt::OtherFocusReason);
    field->setSelection(0, int(field->text().size()));
    const QString name = caption ? caption->text() : QString();
    dialogs.message(name + QStringLiteral("  Field must be between ") + minimum + QStringLiteral(" and ") + maximum,
                    UserDialogs::Icon::Exclamation, QStringLiteral("Error"));
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

bool FitsIntRecord(const QString &text)
{
    qint16 unused = 0;
    return Values::StoreInt(text, unused);
}

bool FitsRealRecord(const QString &text)
{
    float unused = 0.0f;
    return Values::StoreSingle(text, unused);
}

void FlagUnlessStored(bool stored, QLabel *caption, QLabel *marker)
{
    if (stored)
        UnflagField(caption, marker);
    else
        FlagField(caption, marker);
}

bool CheckRealField(QLineEdit *field, const RealItem &range, QLabel *caption, QLabel *marker, UserDialogs &dialogs)
{
    const QString text = field->text();
    // A number beyond the single range (possible only through a set text) counts as out of range.
    bool fits = true;
    float number = 0.0f;
    const double value = Values::Val(text);
    try {
        fits = std::isfinite(value);
        if (fits)
            number = Values::CSng(value);
    } catch (const Values::OverflowError &) {
        fits = false;
    }
    if (!field->isEnabled() || text.isEmpty())
        return false;
    const bool invalid = !Values::IsNumeric(text) || !fits || number > range.maximum || number < range.minimum;
    if (!invalid)
        return false;
    reportOutOfRange(field, caption, marker, dialogs, Values::FormatSingle(range.minimum),
                     Values::FormatSingle(range.maximum));
    return true;
}

bool CheckIntField(QLineEdit *field, const IntItem &range, QLabel *caption, QLabel *marker, UserDialogs &dialogs)
{
    const QString text = field->text();
    if (text.isEmpty())
        return false;
    // Not rounded: 12.5 passes a range of 0 to 20.
    const double number = Values::Val(text);
    const bool invalid = !Values::IsNumeric(text) || number > range.maximum || number < range.minimum;
    if (!invalid)
        return false;
    reportOutOfRange(field, caption, marker, dialogs, Values::FormatInt(range.minimum), Values::FormatInt(range.maximum));
    return true;
}
