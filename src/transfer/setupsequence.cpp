// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupsequence.h"

#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/values.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "params/versioncheck.h"
#include "transfer/itemcommands.h"

SetupSequence::SetupSequence(AppContext &link, SetupModel &setup)
    : m_link(link)
    , m_setup(setup)
{
}

void SetupSequence::send(const QString &body)
{
    m_link.state.CommandString = body;
    if (!m_link.state.CommAbort)
        ++m_sent; // an aborted link transmits nothing
    if (m_link.link) {
        m_last = m_link.link->SendCommand();
    } else {
        m_last = {};
        m_link.state.CommAbort = true; // no device to talk to: the sequence fails cleanly
    }
}

void SetupSequence::checkVersion()
{
    if (m_versionCheck)
        m_versionCheck();
    else
        VersionCheck::CheckDeviceVersion(m_link);
}

void SetupSequence::startProgress(int fixed)
{
    m_counter.start(linearPtsNumber(), fixed);
}

bool SetupSequence::StepProgress()
{
    if (aborted())
        return true; // the bar stops where the failure happened
    const std::optional<qint16> percent = m_counter.step();
    if (!percent)
        return false;
    setPercent(ProgressCounter::percentText(*percent));
    return true;
}

void SetupSequence::setFull()
{
    // A failed transfer keeps the bar where the failure happened; its end shows "0%".
    if (!aborted())
        setPercent(QStringLiteral("100%"));
}

void SetupSequence::setPercent(const QString &text)
{
    if (m_progress)
        m_progress(text);
}

double SetupSequence::linearPtsNumber() const
{
    return Values::Val(m_setup.text(m_setup.family().parameters.linearPts()));
}

bool SetupSequence::aborted() const
{
    return m_link.state.CommAbort;
}

const Parameter *SetupSequence::kfactorUnits() const
{
    return m_setup.family().parameters.kfactorUnits();
}

QString SetupSequence::readCommand(const Parameter &p) const
{
    if (p.realRecord)
        return ItemCommands::read(m_setup.records().*p.realRecord);
    return ItemCommands::read(m_setup.records().*p.intRecord);
}

QString SetupSequence::writeCommand(const Parameter &p) const
{
    if (p.realRecord)
        return ItemCommands::write(m_setup.records().*p.realRecord);
    const IntItem &item = m_setup.records().*p.intRecord;
    if (p.position)
        return ItemCommands::write(item, m_setup.records().*p.position);
    // The device takes its password only under a four-digit item code.
    if (p.kind == Parameter::Kind::Password)
        return QString::number(item.code).rightJustified(4, QLatin1Char('0')) + item.typeLetter
            + Values::FormatInt(item.value);
    return ItemCommands::write(item);
}
