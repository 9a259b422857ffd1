#include "linearpoints.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "app/frmaltmain.h"
#include "app/twips.h"
#include "app/userdialogs.h"
#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "transfer/frequencypoll.h"

LinearPoints::LinearPoints(frmAltMain &window, AppContext &context)
    : QObject(&window)
    , m_window(window)
    , m_context(context)
{
}

frmLinearPoints *LinearPoints::window()
{
    if (!m_linear) {
        m_linear = new frmLinearPoints(m_context, &m_window);
        m_window.setLinearPointsWindow(m_linear);
    }
    return m_linear;
}

void LinearPoints::btnLinear_Click()
{
    if (m_linear && m_linear->isVisible()) {
        m_linear->hide();
        return;
    }

    AltMainControls &c = m_window.controls();
    if (Values::Val(c.txtLinearPts->text()) < 1) {
        m_context.dialogs.message(QStringLiteral("Please Enter Number of Linear Points First"),
                                  UserDialogs::Icon::None, QStringLiteral("Note!"));
        c.txtLinearPts->setFocus();
        c.txtLinearPts->setCursorPosition(0);
        c.lblLinearPtsE->show();
        return;
    }

    c.Option2->setChecked(true);
    m_window.poll().Option2_Click();

    frmLinearPoints *w = window();
    const QRect frame = m_window.frameGeometry();
    w->move(frame.left() + Twips::toPixels(110), frame.top() + Twips::toPixels(630));
    w->show();
    w->raise();
    w->activateWindow();

    const IntItem &count = m_context.state.LinearPtsItem;
    if (Values::Val(c.txtLinearPts->text()) > count.maximum)
        c.txtLinearPts->setText(QStringLiteral("10"));

    // The table has ten rows whatever the configuration allows.
    const double wanted = std::clamp(Values::Val(c.txtLinearPts->text()), 0.0, double(frmLinearPoints::Rows));
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
