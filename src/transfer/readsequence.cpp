// SPDX-License-Identifier: GPL-3.0-or-later
#include "readsequence.h"

#include <exception>
#include <functional>

#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/setupview.h"
#include "transfer/itemcommands.h"

namespace {

// Runs one statement of the read; a failure skips only that statement.
void tolerant(const std::function<void()> &statement)
{
    try {
        statement();
    } catch (const std::exception &) {
    }
}

} // namespace

bool ReadSequence::run()
{
    tolerant([&] { checkVersion(); });
    tolerant([&] { ReadOutputType(); });
    tolerant([&] { m_view.setText(m_family.parameters.linearPts(), QStringLiteral("10")); });
    // One step per item of the set, whether or not a choice greys it: the bar never passes 100%.
    tolerant([&] { startProgress(int(m_family.parameters.rows().size())); });
    readItems();
    readPoints();
    return !aborted();
}

void ReadSequence::ReadOutputType()
{
    send(QStringLiteral("I"));
    if (aborted())
        return;
    m_view.outputTypeReply(Values::CInt(Values::Val(m_link.state.ReplyValue)));
}

void ReadSequence::stepProgress()
{
    tolerant([this] { StepProgress(); });
}

void ReadSequence::readItems()
{
    const QString &reply = m_link.state.ReplyValue;
    for (const Parameter &p : m_family.parameters.rows()) {
        if (p.rule == Parameter::Rule::KfactorUnits) {
            // Only the two units positions with a K factor record of their own read a K factor;
            // any other position (or none) leaves the field as it is.
            const Parameter *units = kfactorUnits();
            if (const RealItem *kfactor
                = ParameterSet::kfactorRecord(m_records, units ? m_view.listPosition(*units) : -1)) {
                send(ItemCommands::read(*kfactor));
                stepProgress();
                tolerant([&] { m_view.setText(p, reply); });
            } else {
                stepProgress();
            }
            continue;
        }
        // A field greyed or hidden by a choice read before it is not read.
        if (p.switchable() && !m_view.isActive(p))
            continue;
        send(readCommand(p));
        stepProgress();
        if (p.kind == Parameter::Kind::List) {
            if (!answered())
                continue;
            tolerant([&] {
                const qint16 position = Values::CInt(Values::Val(reply));
                // -1 clears the selection; a position the list does not have is refused.
                if (position >= -1 && position < m_view.listCount(p))
                    m_view.setListPosition(p, position);
            });
        } else if (p.kind == Parameter::Kind::Password) {
            tolerant([&] { m_view.setText(p, ParameterSet::passwordText(reply)); });
        } else {
            tolerant([&] { m_view.setText(p, reply); });
        }
    }
}

void ReadSequence::readPoints()
{
    const QString &reply = m_link.state.ReplyValue;
    // All ten pairs, whatever number of points the device reported.
    for (size_t i = 0; i < 10; ++i) {
        send(ItemCommands::read(m_records.LinFreqItems[i]));
        stepProgress();
        tolerant([&] { m_records.LinFreqItems[i].value = Values::CInt(Values::Val(reply)); });
        send(ItemCommands::read(m_records.LinFlowItems[i]));
        stepProgress();
        tolerant([&] { m_records.LinFlowItems[i].value = Values::CSng(Values::Val(reply)); });
    }
}
