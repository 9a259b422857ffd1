// SPDX-License-Identifier: GPL-3.0-or-later
#include "digitlineedit.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>

DigitLineEdit::DigitLineEdit(QWidget *parent)
    : QLineEdit(parent)
{
    setAcceptDrops(false);
}

bool DigitLineEdit::passesKey(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QChar(8);
}

QString DigitLineEdit::digitsOf(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    }
    return digits;
}

void DigitLineEdit::pasteDigits(const QString &text)
{
    if (isReadOnly())
        return;
    const QString digits = digitsOf(text);
    if (!digits.isEmpty())
        insert(digits);
}

void DigitLineEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste)) {
        pasteDigits(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    // Keys without a printable character (arrows, Delete, Home, shortcuts) edit as usual.
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint();
    if (printable || text == QStringLiteral("\b")) {
        if (!passesKey(text.at(0))) {
            event->accept();
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

void DigitLineEdit::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (QAction *paste = menu->findChild<QAction *>(QStringLiteral("edit-paste"))) {
        paste->disconnect();
        connect(
            paste, &QAction::triggered, this, [this] { pasteDigits(QGuiApplication::clipboard()->text()); });
    }
    menu->popup(event->globalPos());
}

void DigitLineEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The X11 middle-button paste goes through the same digits-only door.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        pasteDigits(QGuiApplication::clipboard()->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void DigitLineEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    if (!commit.isEmpty() && digitsOf(commit) != commit) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}
