// SPDX-License-Identifier: GPL-3.0-or-later
#include "typinglimit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QVariant>

#include "params/insertionguard.h"

namespace {
const char *const LimitProperty = "typingLimit";
}

TypingLimit *TypingLimit::install(QLineEdit *field, int limit)
{
    return new TypingLimit(field, limit);
}

int TypingLimit::of(const QLineEdit *field)
{
    return field->property(LimitProperty).toInt();
}

TypingLimit::TypingLimit(QLineEdit *field, int limit)
    : QObject(field)
    , m_field(field)
    , m_limit(limit)
{
    field->setProperty(LimitProperty, limit);
    field->installEventFilter(this);
    // Pastes and drops that run past the limit keep what fits.
    InsertionGuard::of(field)->setLimit(limit);
}

bool TypingLimit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_field || event->type() != QEvent::KeyPress)
        return false;
    const QString typed = static_cast<QKeyEvent *>(event)->text();
    if (typed.isEmpty() || typed.at(0).unicode() < 0x20 || typed.at(0).unicode() == 0x7f)
        return false; // editing keys (backspace, Tab, shortcuts) are not text
    const qsizetype after = m_field->text().size() - m_field->selectedText().size() + typed.size();
    return after > m_limit;
}
