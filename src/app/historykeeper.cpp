// SPDX-License-Identifier: GPL-3.0-or-later
#include "historykeeper.h"

#include "app/settingsstore.h"

namespace {

const QString keepKey = QStringLiteral("Options/KeepSetupHistory");
const QString backUpKey = QStringLiteral("Options/BackUpBeforeDownload");

bool storedFlag(const QString &key, bool fallback)
{
    const QString text = SettingsStore::open()->value(key).toString().trimmed();
    if (text.isEmpty())
        return fallback;
    return text != QLatin1String("0") && text.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
}

void storeFlag(const QString &key, bool on)
{
    SettingsStore::open()->setValue(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

} // namespace

HistoryKeeper::HistoryKeeper(Host host, SetupHistory history, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_history(std::move(history))
    , m_keep(storedFlag(keepKey, true))
    , m_backUp(storedFlag(backUpKey, false))
{
}

bool HistoryKeeper::storedKeepsHistory()
{
    return storedFlag(keepKey, true);
}

void HistoryKeeper::setKeepsHistory(bool on)
{
    m_keep = on;
    storeFlag(keepKey, on);
}

void HistoryKeeper::setBacksUp(bool on)
{
    m_backUp = on;
    storeFlag(backUpKey, on);
}

void HistoryKeeper::keep(SetupHistory::What what, const QByteArray &bytes)
{
    const SetupHistory::Kept result = m_history.keep(bytes, what, m_host.port ? m_host.port() : QString());
    if (!result.ok()) {
        tell(result.error);
        return;
    }
    m_failing = false;
    Q_EMIT kept();
}

void HistoryKeeper::tell(const QString &error)
{
    if (m_failing)
        return;
    m_failing = true;
    const QString text = QStringLiteral("Status:  Setup history not kept: ") + error;
    if (m_host.busy && m_host.busy())
        m_pending = text; // the transfer's own status texts would hide it at once
    else if (m_host.setStatusText)
        m_host.setStatusText(text);
}

void HistoryKeeper::showPending()
{
    if (m_pending.isEmpty())
        return;
    if (m_host.setStatusText)
        m_host.setStatusText(m_pending);
    m_pending.clear();
}

void HistoryKeeper::keepTransferred(SetupHistory::What what, const std::optional<QByteArray> &bytes)
{
    if (m_keep && bytes)
        keep(what, *bytes);
    // A backup downloaded again leaves the window's own edits unsent.
    if (m_host.setupBytes && bytes && m_host.setupBytes() == bytes)
        m_settled = bytes;
}

void HistoryKeeper::keepBackup(const std::optional<QByteArray> &bytes)
{
    if (bytes)
        keep(SetupHistory::What::Backup, *bytes);
}

void HistoryKeeper::discarding()
{
    if (!m_keep || !m_host.setupBytes)
        return;
    const std::optional<QByteArray> bytes = m_host.setupBytes();
    if (!bytes || bytes == m_settled)
        return;
    keep(SetupHistory::What::Unsaved, *bytes);
    m_settled = bytes; // kept once, however often it is discarded
}

void HistoryKeeper::settle()
{
    if (m_host.setupBytes)
        m_settled = m_host.setupBytes();
}
