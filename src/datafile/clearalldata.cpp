#include "clearalldata.h"

#include <QComboBox>
#include <QLineEdit>

#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "params/altmaincontrols.h"

ClearAllData::ClearAllData(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_context(context)
{
}

void ClearAllData::mnuClear_Click()
{
    AltMainControls &c = *m_host.controls;
    clearLists({c.cboRateUnits, c.cboRateInterval, c.cboKfactorUnits});
    clearTexts({c.txtKfactor, c.txtDamping});
    clearFlowPair(c.txtFlowHi, c.txtFlowLow);
    clearTexts({c.txtLinearPts, c.txtSpg});
    clearLinearPoints(*m_host.linearPointsWindow(), m_context.state);
    m_host.setStatusText(clearedStatus());
}

void ClearAllData::clearLists(std::initializer_list<QComboBox *> lists)
{
    for (QComboBox *list : lists) {
        if (list->count() > 0)
            list->setCurrentIndex(0);
        list->setCurrentIndex(-1);
    }
}

void ClearAllData::clearTexts(std::initializer_list<QLineEdit *> texts)
{
    for (QLineEdit *text : texts) {
        text->setText(QStringLiteral("0"));
        text->setText(QString());
    }
}

void ClearAllData::clearFlowPair(QLineEdit *flowHi, QLineEdit *flowLow)
{
    flowHi->setText(QStringLiteral("1"));
    flowLow->setText(QStringLiteral("0"));
    flowLow->setText(QString());
    flowHi->setText(QString());
}

void ClearAllData::clearLinearPoints(frmLinearPoints &points, DeviceState &state)
{
    for (int i = 0; i < frmLinearPoints::Rows; ++i) {
        points.txtFreq(i)->setText(QString());
        state.LinFreqItems[i].value = -1;
        points.txtCoef(i)->setText(QString());
        state.LinFlowItems[i].value = -1.0f;
    }
}
