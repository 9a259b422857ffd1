#include "linearpoints.h"

#include <algorithm>
#include <cmath>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "params/twips.h"
#include "link/userdialogs.h"
#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "link/values.h"

LinearPoints::LinearPoints(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_context(context)
{
}

frmLinearPoints *LinearPoints::window()
{
    if (!m_linear) {
        m_linear = new frmLinearPoints(m_context, m_host.mainWindow);
        if (m_host.windowCreated)
            m_host.windowCreated(m_linear);
    }
    return m_linear;
}

void LinearPoints::btnLinear_Click()
{
    if (m_linear && m_linear->isVisible()) {
        m_linear->hide();
        return;
    }

    QLineEdit *txtLinearPts = m_host.txtLinearPts;
    if (Values::Val(txtLinearPts->text()) < 1) {
        m_context.dialogs.message(QStringLiteral("Please Enter Number of Linear Points First"),
                                  UserDialogs::Icon::None, QStringLiteral("Note!"));
        txtLinearPts->setFocus();
        txtLinearPts->setCursorPosition(0);
        m_host.lblLinearPtsE->show();
        return;
    }

    m_host.Option2->setChecked(true);
    if (m_host.Option2_Click)
        m_host.Option2_Click();

    frmLinearPoints *w = window();
    const QRect frame = m_host.mainWindow->frameGeometry();
    w->move(frame.left() + Twips::toPixels(110), frame.top() + Twips::toPixels(630));
    w->show();
    w->raise();
    w->activateWindow();

    const IntItem &count = m_context.state.LinearPtsItem;
    if (Values::Val(txtLinearPts->text()) > count.maximum)
        txtLinearPts->setText(QStringLiteral("10"));

    // The table has ten rows whatever the configuration allows.
    const double wanted = std::clamp(Values::Val(txtLinearPts->text()), 0.0, double(frmLinearPoints::Rows));
    const int n = Values::CInt(wanted);
    DeviceState &s = m_context.state;
    for (int i = 0; i < n; ++i) {
        if (s.LinFreqItems[i].value != -1)
            w->txtFreq(i)->setText(Values::FormatInt(s.LinFreqItems[i].value));
        if (s.LinFlowItems[i].value != -1.0f)
            w->txtCoef(i)->setText(Values::FormatSingle(s.LinFlowItems[i].value));
        w->setRowActive(i, true);
    }
    for (int i = n; i < frmLinearPoints::Rows; ++i)
        w->setRowActive(i, false);
}

bool LinearPoints::markMissingPoints(double count)
{
    // The window has ten rows; a configured maximum above that cannot index past them.
    const int rows = std::clamp(int(std::floor(count)), 0, frmLinearPoints::Rows);
    const DeviceState &state = m_context.state;
    bool complete = true;
    for (int i = 0; i < rows; ++i) {
        const std::size_t k = std::size_t(i);
        if (state.LinFlowItems[k].value != -1.0f && state.LinFreqItems[k].value != -1)
            continue;
        complete = false;
        frmLinearPoints *points = window();
        if (!points->isVisible()) {
            const QRect frame = m_host.mainWindow->frameGeometry();
            points->move(frame.left() + Twips::toPixels(185), frame.top() + Twips::toPixels(800));
            points->show();
        }
        points->setRowMarked(i, true);
    }
    return complete;
}
