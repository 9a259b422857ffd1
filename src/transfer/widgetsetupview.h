// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "params/setupview.h"

class QWidget;

// A main window as the setup sequences see it: each parameter's control found by its object name,
// so setting a position or a text runs the control's own handler.
class WidgetSetupView final : public SetupView
{
public:
    explicit WidgetSetupView(QWidget &window, std::function<void(qint16)> outputTypeReply = {});

    bool isActive(const Parameter &parameter) const override;
    int listPosition(const Parameter &parameter) const override;
    int listCount(const Parameter &parameter) const override;
    QString listText(const Parameter &parameter) const override;
    void setListPosition(const Parameter &parameter, int position) override;
    QString text(const Parameter &parameter) const override;
    void setText(const Parameter &parameter, const QString &text) override;
    void outputTypeReply(qint16 reply) override;

private:
    QWidget &m_window;
    std::function<void(qint16)> m_outputTypeReply;
};
