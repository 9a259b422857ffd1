// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QToolButton;

// A pair of up-down arrows holding a whole number between limits. valueChanged is emitted exactly
// when the value changes, whether by an arrow, by the keyboard or by code; a step past a limit
// changes nothing.
class UpDownControl final : public QWidget
{
    Q_OBJECT

public:
    explicit UpDownControl(QWidget *parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_minimum; }
    int maximum() const { return m_maximum; }
    // Limits given the wrong way round are swapped; the value is pulled inside them.
    void setRange(int minimum, int maximum);
    void setValue(int value);
    void stepUp() { step(1); }
    void stepDown() { step(-1); }

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void step(int delta);
    void updateButtons();

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    int m_minimum = 0;
    int m_maximum = 10;
    int m_value = 0;
};
