// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include "params/fieldfilter.h"

class QLineEdit;

// Lets into a text box only what its key filter class allows: refused keys (and Enter) never reach
// the text, and pasted or dropped text is reduced to the characters typing could have produced.
class FieldKeyFilter final : public QObject
{
    Q_OBJECT

public:
    // The filter lives as long as the field.
    static FieldKeyFilter *install(QLineEdit *field, FieldFilter::Class filter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FieldKeyFilter(QLineEdit *field, FieldFilter::Class filter);

    QLineEdit *m_field;
    FieldFilter::Class m_filter;
};
