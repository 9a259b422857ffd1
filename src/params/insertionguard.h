// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QObject>
#include <QString>

#include "params/fieldfilter.h"

class QLineEdit;

// Cleans what a user edit (a key, a paste, a drop, an input method) inserts into a text box: only
// the inserted characters are filtered and cut to the typing limit. Text that Read Setup or Open
// put there stays exactly as set, also after a later keystroke elsewhere in it.
class InsertionGuard final : public QObject
{
    Q_OBJECT

public:
    // The field's guard, made on first use; it lives as long as the field.
    static InsertionGuard *of(QLineEdit *field);

    void setFilter(FieldFilter::Class filter) { m_filter = filter; }
    void setLimit(int limit) { m_limit = limit; }

private:
    explicit InsertionGuard(QLineEdit *field);
    void onTextEdited();

    QLineEdit *m_field;
    std::optional<FieldFilter::Class> m_filter;
    int m_limit = 0;
    QString m_shown; // the text before the edit under way: the field reports an edit before the change
};
