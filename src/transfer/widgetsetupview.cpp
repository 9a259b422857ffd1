// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgetsetupview.h"

#include <QComboBox>
#include <QLineEdit>

#include "params/parameterset.h"

WidgetSetupView::WidgetSetupView(QWidget &window, std::function<void(qint16)> outputTypeReply)
    : m_window(window)
    , m_outputTypeReply(std::move(outputTypeReply))
{
}

bool WidgetSetupView::isActive(const Parameter &parameter) const
{
    // The field's own state, whether or not the main window is on screen yet.
    const QWidget *field = m_window.findChild<QWidget *>(parameter.controlName());
    return field && !field->isHidden() && field->isEnabled();
}

int WidgetSetupView::listPosition(const Parameter &parameter) const
{
    const auto *list = m_window.findChild<QComboBox *>(parameter.controlName());
    return list ? list->currentIndex() : -1;
}

int WidgetSetupView::listCount(const Parameter &parameter) const
{
    const auto *list = m_window.findChild<QComboBox *>(parameter.controlName());
    return list ? list->count() : 0;
}

QString WidgetSetupView::listText(const Parameter &parameter) const
{
    const auto *list = m_window.findChild<QComboBox *>(parameter.controlName());
    return list ? list->currentText() : QString();
}

void WidgetSetupView::setListPosition(const Parameter &parameter, int position)
{
    if (auto *list = m_window.findChild<QComboBox *>(parameter.controlName()))
        list->setCurrentIndex(position);
}

QString WidgetSetupView::text(const Parameter &parameter) const
{
    const auto *field = m_window.findChild<QLineEdit *>(parameter.controlName());
    return field ? field->text() : QString();
}

void WidgetSetupView::setText(const Parameter &parameter, const QString &text)
{
    if (auto *field = m_window.findChild<QLineEdit *>(parameter.controlName()))
        field->setText(text);
}

void WidgetSetupView::outputTypeReply(qint16 reply)
{
    if (m_outputTypeReply)
        m_outputTypeReply(reply);
}
