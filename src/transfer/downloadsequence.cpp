// SPDX-License-Identifier: GPL-3.0-or-later
#include "downloadsequence.h"

#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "transfer/itemcommands.h"

DownloadSequence::Ending DownloadSequence::run()
{
    startProgress(m_setup.family().fixedExchanges);
    checkVersion();
    if (!writeItems() || !writePoints())
        return Ending::RunError;
    send(QStringLiteral("W"));
    return aborted() ? Ending::Failed : Ending::Done;
}

bool DownloadSequence::activeAfter(size_t index) const
{
    const auto &rows = m_setup.family().parameters.rows();
    for (size_t k = index + 1; k < rows.size(); ++k) {
        if (!rows[k].switchable() || m_setup.isActive(rows[k]))
            return true;
    }
    return false;
}

bool DownloadSequence::writeItems()
{
    const ParameterSet &parameters = m_setup.family().parameters;
    const auto &rows = parameters.rows();
    const size_t pointsRow = size_t(parameters.indexOf(parameters.linearPts()));
    for (size_t k = 0; k < rows.size(); ++k) {
        const Parameter &p = rows[k];
        if (p.rule == Parameter::Rule::KfactorUnits) {
            const Parameter *units = kfactorUnits();
            if (const RealItem *kfactor
                = ParameterSet::kfactorRecord(m_setup.records(), units ? m_setup.listPosition(*units) : -1))
                send(ItemCommands::write(*kfactor));
            if (!StepProgress())
                return false;
            continue;
        }
        if (p.switchable() && !m_setup.isActive(p))
            continue;
        send(writeCommand(p));
        // From the number of points on, the bar may already be full: nothing else follows.
        if (k >= pointsRow && !activeAfter(k) && !(linearPtsNumber() > 0))
            setFull();
        else if (!StepProgress())
            return false;
    }
    return true;
}

bool DownloadSequence::writePoints()
{
    // The bound is taken once; the test for the last pair reads the field again each time.
    const std::optional<qint16> last = Values::IntOf(linearPtsNumber() - 1);
    if (!last)
        return false;
    for (int i = 0; i <= *last; ++i) {
        if (size_t(i) >= m_setup.records().LinFreqItems.size())
            return false; // the pairs sent so far stay sent
        send(ItemCommands::write(m_setup.records().LinFreqItems[size_t(i)]));
        if (!StepProgress())
            return false;
        send(ItemCommands::write(m_setup.records().LinFlowItems[size_t(i)]));
        if (i == linearPtsNumber() - 1)
            setFull();
        else if (!StepProgress())
            return false;
    }
    return true;
}
