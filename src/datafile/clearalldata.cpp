// SPDX-License-Identifier: GPL-3.0-or-later
#include "clearalldata.h"

#include <QLineEdit>

#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "params/setupmodel.h"

ClearAllData::ClearAllData(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_context(context)
{
}

void ClearAllData::mnuClear_Click()
{
    Q_EMIT aboutToClear();
    clearSetup(*m_host.setup, *m_host.linearPointsWindow());
    m_host.setStatusText(clearedStatus());
    emit cleared();
}

void ClearAllData::clearSetup(SetupModel &setup, frmLinearPoints &points)
{
    setup.clearFields();
    DeviceState &state = setup.records();
    for (int i = 0; i < frmLinearPoints::Rows; ++i) {
        points.txtFreq(i)->setText(QString());
        state.LinFreqItems[i].value = -1;
        points.txtCoef(i)->setText(QString());
        state.LinFlowItems[i].value = -1.0f;
    }
}
