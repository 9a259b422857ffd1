// SPDX-License-Identifier: GPL-3.0-or-later
#include "updowncontrol.h"

#include <algorithm>

#include <QKeyEvent>
#include <QToolButton>
#include <QVBoxLayout>

UpDownControl::UpDownControl(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto makeArrow = [this, layout](Qt::ArrowType arrow, const char *name) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        button->setFixedWidth(18);
        layout->addWidget(button);
        return button;
    };
    m_up = makeArrow(Qt::UpArrow, "up");
    m_down = makeArrow(Qt::DownArrow, "down");
    connect(m_up, &QToolButton::clicked, this, &UpDownControl::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDownControl::stepDown);
    updateButtons();
}

void UpDownControl::setRange(int minimum, int maximum)
{
    if (minimum > maximum)
        std::swap(minimum, maximum);
    m_minimum = minimum;
    m_maximum = maximum;
    setValue(m_value);
    updateButtons();
}

void UpDownControl::setValue(int value)
{
    value = std::clamp(value, m_minimum, m_maximum);
    if (value == m_value)
        return;
    m_value = value;
    updateButtons();
    Q_EMIT valueChanged(m_value);
}

void UpDownControl::step(int delta)
{
    // Overflow-free: the value is always inside the limits.
    if ((delta > 0 && m_value < m_maximum) || (delta < 0 && m_value > m_minimum))
        setValue(m_value + delta);
}

void UpDownControl::updateButtons()
{
    m_up->setEnabled(m_value < m_maximum);
    m_down->setEnabled(m_value > m_minimum);
}

QSize UpDownControl::sizeHint() const
{
    return { 18, 22 };
}

void UpDownControl::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepUp();
        break;
    case Qt::Key_Down:
        stepDown();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}
