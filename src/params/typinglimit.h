// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QLineEdit;

// The longest text a user may type or paste into a box. Unlike QLineEdit's own maximum length it
// never cuts a text the program sets, so a value read from the device or a file arrives whole.
class TypingLimit final : public QObject
{
    Q_OBJECT

public:
    // The limit lives as long as the field.
    static TypingLimit *install(QLineEdit *field, int limit);
    // The field's typing limit, or 0 when it has none.
    static int of(const QLineEdit *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TypingLimit(QLineEdit *field, int limit);

    QLineEdit *m_field;
    int m_limit;
};
