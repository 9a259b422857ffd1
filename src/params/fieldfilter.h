// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QChar>
#include <QString>

// The key filter classes of the entry fields: which characters typing lets through.
class FieldFilter final
{
public:
    enum class Class {
        Decimal, // digits, backspace and "."
        Digits, // digits and backspace
    };

    static bool accepts(Class filter, QChar key);
    // Inserted text (paste, drop) reduced to what typing could have produced.
    static QString strip(Class filter, const QString &text);

    // The text an edit should leave when only what it inserted is filtered and cut to the limit
    // (0: none); the text that was there before stays exactly as it was, whatever it holds. cursor
    // comes in as the caret after the edit (the end of the insertion) and goes out as the caret
    // after the kept part of the insertion.
    static QString keepInserted(
        const QString &before, const QString &after, int &cursor, std::optional<Class> filter, int limit);
};
