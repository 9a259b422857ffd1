#pragma once

#include <QChar>
#include <QString>

// The key filter classes of the entry fields: which characters typing lets through.
class FieldFilter final
{
public:
    enum class Class {
        Decimal, // digits, backspace and "."
        Digits,  // digits and backspace
    };

    static bool accepts(Class filter, QChar key);
    // Inserted text (paste, drop) reduced to what typing could have produced.
    static QString strip(Class filter, const QString &text);
};
