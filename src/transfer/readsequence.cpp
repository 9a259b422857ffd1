// SPDX-License-Identifier: GPL-3.0-or-later
#include "readsequence.h"

#include <optional>

#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "transfer/itemcommands.h"

bool ReadSequence::run()
{
    checkVersion();
    ReadOutputType();
    m_setup.setText(m_setup.family().parameters.linearPts(), QStringLiteral("10"));
    // One step per item of the set, whether or not a choice greys it: the bar never passes 100%.
    startProgress(int(m_setup.family().parameters.rows().size()));
    readItems();
    readPoints();
    return !aborted();
}

void ReadSequence::ReadOutputType()
{
    send(QStringLiteral("I"));
    if (aborted())
        return;
    // A reply that is no 16-bit number leaves the output type as it was.
    if (const std::optional<qint16> type = Values::IntOf(Values::Val(m_link.state.ReplyValue)))
        m_setup.outputTypeReply(*type);
}

void ReadSequence::readItems()
{
    const QString &reply = m_link.state.ReplyValue;
    for (const Parameter &p : m_setup.family().parameters.rows()) {
        if (p.rule == Parameter::Rule::KfactorUnits) {
            // Only the two units positions with a K factor record of their own read a K factor;
            // any other position (or none) leaves the field as it is.
            const Parameter *units = kfactorUnits();
            if (const RealItem *kfactor
                = ParameterSet::kfactorRecord(m_setup.records(), units ? m_setup.listPosition(*units) : -1)) {
                send(ItemCommands::read(*kfactor));
                StepProgress();
                m_setup.setText(p, reply);
            } else {
                StepProgress();
            }
            continue;
        }
        // A field greyed or hidden by a choice read before it is not read.
        if (p.switchable() && !m_setup.isActive(p))
            continue;
        send(readCommand(p));
        StepProgress();
        if (p.kind == Parameter::Kind::List) {
            if (!answered())
                continue;
            // -1 clears the selection; a position the list does not have is refused.
            const std::optional<qint16> position = Values::IntOf(Values::Val(reply));
            if (position && *position >= -1 && *position < m_setup.listCount(p))
                m_setup.setListPosition(p, *position);
        } else if (p.kind == Parameter::Kind::Password) {
            m_setup.setText(p, ParameterSet::passwordText(reply));
        } else {
            m_setup.setText(p, reply);
        }
    }
}

void ReadSequence::readPoints()
{
    const QString &reply = m_link.state.ReplyValue;
    // All ten pairs, whatever number of points the device reported.
    for (size_t i = 0; i < 10; ++i) {
        send(ItemCommands::read(m_setup.records().LinFreqItems[i]));
        StepProgress();
        // A reply its record cannot hold leaves the record as it was.
        if (const std::optional<qint16> frequency = Values::IntOf(Values::Val(reply)))
            m_setup.records().LinFreqItems[i].value = *frequency;
        send(ItemCommands::read(m_setup.records().LinFlowItems[i]));
        StepProgress();
        if (const std::optional<float> flow = Values::SingleOf(Values::Val(reply)))
            m_setup.records().LinFlowItems[i].value = *flow;
    }
}
