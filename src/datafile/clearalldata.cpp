// SPDX-License-Identifier: GPL-3.0-or-later
#include "clearalldata.h"

#include <utility>

#include <QComboBox>
#include <QLineEdit>
#include <QMainWindow>

#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "params/altmaincontrols.h"
#include "params/parameterset.h"

ClearAllData::ClearAllData(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_context(context)
{
}

void ClearAllData::mnuClear_Click()
{
    Q_EMIT aboutToClear();
    clearSetup(
        ParameterSet::dravion(), *m_host.controls->window, *m_host.linearPointsWindow(), m_context.state);
    m_host.setStatusText(clearedStatus());
    emit cleared();
}

void ClearAllData::clearSetup(
    const ParameterSet &set, QWidget &window, frmLinearPoints &points, DeviceState &state)
{
    bool flowPairCleared = false;
    for (const Parameter *p : set.clearingOrder()) {
        if (p->kind == Parameter::Kind::List) {
            auto *list = window.findChild<QComboBox *>(p->controlName());
            if (list->count() > 0)
                list->setCurrentIndex(0);
            list->setCurrentIndex(-1);
        } else if (ParameterSet::isFlowPair(*p)) {
            if (std::exchange(flowPairCleared, true))
                continue;
            auto *flowHi = window.findChild<QLineEdit *>(QStringLiteral("txtFlowHi"));
            auto *flowLow = window.findChild<QLineEdit *>(QStringLiteral("txtFlowLow"));
            flowHi->setText(QStringLiteral("1"));
            flowLow->setText(QStringLiteral("0"));
            flowLow->setText(QString());
            flowHi->setText(QString());
        } else {
            auto *text = window.findChild<QLineEdit *>(p->controlName());
            text->setText(QStringLiteral("0"));
            text->setText(QString::fromLatin1(p->cleared));
        }
    }
    for (int i = 0; i < frmLinearPoints::Rows; ++i) {
        points.txtFreq(i)->setText(QString());
        state.LinFreqItems[i].value = -1;
        points.txtCoef(i)->setText(QString());
        state.LinFlowItems[i].value = -1.0f;
    }
}
