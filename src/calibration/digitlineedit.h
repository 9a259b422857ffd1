// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>

// A text box that takes only digits from the user: typed keys other than digits and backspace are
// cancelled, and a paste inserts only the digits of the pasted text. Text set by code is kept as
// given, so a reply such as "NoRsp" can be shown and then erased.
class DigitLineEdit final : public QLineEdit
{
    Q_OBJECT

public:
    explicit DigitLineEdit(QWidget *parent = nullptr);

    static bool passesKey(QChar c);
    static QString digitsOf(const QString &text);

    void pasteDigits(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};
