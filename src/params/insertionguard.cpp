// SPDX-License-Identifier: GPL-3.0-or-later
#include "insertionguard.h"

#include <QLineEdit>

InsertionGuard *InsertionGuard::of(QLineEdit *field)
{
    if (auto *guard = field->findChild<InsertionGuard *>(QString(), Qt::FindDirectChildrenOnly))
        return guard;
    return new InsertionGuard(field);
}

InsertionGuard::InsertionGuard(QLineEdit *field)
    : QObject(field)
    , m_field(field)
    , m_shown(field->text())
{
    // text() rather than the signal's argument: a text cleaned inside textEdited is followed by a
    // late textChanged carrying the uncleaned one.
    connect(field, &QLineEdit::textChanged, this, [this] { m_shown = m_field->text(); });
    connect(field, &QLineEdit::textEdited, this, &InsertionGuard::onTextEdited);
}

void InsertionGuard::onTextEdited()
{
    const QString edited = m_field->text();
    int cursor = m_field->cursorPosition();
    const QString clean = FieldFilter::keepInserted(m_shown, edited, cursor, m_filter, m_limit);
    if (clean == edited)
        return;
    m_field->setText(clean);
    m_field->setCursorPosition(cursor);
}
