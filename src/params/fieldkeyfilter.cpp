// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldkeyfilter.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "params/insertionguard.h"

FieldKeyFilter *FieldKeyFilter::install(QLineEdit *field, FieldFilter::Class filter)
{
    return new FieldKeyFilter(field, filter);
}

FieldKeyFilter::FieldKeyFilter(QLineEdit *field, FieldFilter::Class filter)
    : QObject(field)
    , m_field(field)
    , m_filter(filter)
{
    field->installEventFilter(this);
    // Every other way in (context menu paste, drag and drop, input methods) is cleaned there.
    InsertionGuard::of(field)->setFilter(filter);
}

bool FieldKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->matches(QKeySequence::Paste)) {
        if (!m_field->isReadOnly())
            m_field->insert(FieldFilter::strip(m_filter, QGuiApplication::clipboard()->text()));
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        return true;
    const QString text = key->text();
    for (QChar c : text) {
        // Control characters are editing keys (Tab, Delete, Ctrl+C ...), not text; backspace is allowed
        // anyway.
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            continue;
        if (!FieldFilter::accepts(m_filter, c))
            return true;
    }
    return false;
}
