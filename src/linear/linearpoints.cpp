// SPDX-License-Identifier: GPL-3.0-or-later
#include "linearpoints.h"

#include <QLineEdit>
#include <QRadioButton>

#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "link/userdialogs.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/screenfit.h"
#include "params/setupmodel.h"
#include "params/twips.h"

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

void LinearPoints::enterPoint(int row, int column, const QString &text)
{
    frmLinearPoints *points = window();
    (column == 0 ? points->txtFreq(row) : points->txtCoef(row))->setText(text);
}

void LinearPoints::btnLinear_Click()
{
    if (m_linear && m_linear->isVisible()) {
        m_linear->hide();
        return;
    }

    SetupModel &setup = *m_host.setup;
    const Parameter &points = setup.family().parameters.linearPts();
    QLineEdit *txtLinearPts = m_host.txtLinearPts;
    if (Values::Val(setup.text(points)) < 1) {
        m_context.dialogs.message(QStringLiteral("Please Enter Number of Linear Points First"),
            UserDialogs::Icon::None, QStringLiteral("Note!"));
        txtLinearPts->setFocus();
        txtLinearPts->setCursorPosition(0);
        setup.showMarker(points);
        return;
    }

    m_host.Option2->setChecked(true);
    if (m_host.Option2_Click)
        m_host.Option2_Click();

    frmLinearPoints *w = window();
    const QRect frame = m_host.mainWindow->frameGeometry();
    w->move(frame.left() + Twips::toPixels(110), frame.top() + Twips::toPixels(630));
    w->show();
    ScreenFit::keepOnScreen(w);
    w->raise();
    w->activateWindow();

    const IntItem &count = m_context.state.LinearPtsItem;
    if (Values::Val(setup.text(points)) > count.maximum)
        setup.setText(points, QStringLiteral("10"));

    w->logic().showRows(Values::Val(setup.text(points)));
}

bool LinearPoints::markMissingPoints(double count)
{
    const QList<int> missing = LinearPointsLogic::missingRows(m_context.state, count);
    for (int i : missing) {
        frmLinearPoints *points = window();
        if (!points->isVisible()) {
            const QRect frame = m_host.mainWindow->frameGeometry();
            points->move(frame.left() + Twips::toPixels(185), frame.top() + Twips::toPixels(800));
            points->show();
            ScreenFit::keepOnScreen(points);
        }
        points->logic().setRowMarked(i, true);
    }
    return missing.isEmpty();
}
