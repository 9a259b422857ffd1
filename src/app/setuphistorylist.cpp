// SPDX-License-Identifier: GPL-3.0-or-later
#include "setuphistorylist.h"

#include <QDir>
#include <QFileInfo>

#include "link/userdialogs.h"
#include "params/devicefamily.h"

SetupHistoryList::SetupHistoryList(
    SetupHistory &history, const DeviceFamily &family, UserDialogs &dialogs, Host host, QObject *parent)
    : QObject(parent)
    , m_history(history)
    , m_family(family)
    , m_dialogs(dialogs)
    , m_host(std::move(host))
{
}

QString SetupHistoryList::whatCaption(SetupHistory::What what)
{
    switch (what) {
    case SetupHistory::What::Read:
        return QStringLiteral("Read");
    case SetupHistory::What::Download:
        return QStringLiteral("Download");
    case SetupHistory::What::Unsaved:
        return QStringLiteral("Unsaved");
    case SetupHistory::What::Backup:
        return QStringLiteral("Backup");
    }
    return QString();
}

void SetupHistoryList::refresh()
{
    m_entries = m_history.entries(m_family);
    Q_EMIT changed();
}

QStringList SetupHistoryList::headings() const
{
    const bool kfactor = m_family.parameters.find(QStringLiteral("txtKfactor")) != nullptr;
    return { QStringLiteral("Date and Time"), QStringLiteral("Setup"), QStringLiteral("Port"),
        kfactor ? QStringLiteral("K Factor") : QStringLiteral("Scale Factor"),
        QStringLiteral("Linear Points") };
}

QStringList SetupHistoryList::cells(int row) const
{
    if (!valid(row))
        return {};
    const SetupHistory::Entry &e = m_entries[size_t(row)];
    QString when = e.when.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (e.sequence > 1)
        when += QStringLiteral(" (%1)").arg(e.sequence);
    return { when, whatCaption(e.what), e.port, e.factor, e.points };
}

QString SetupHistoryList::path(int row) const
{
    return valid(row) ? m_entries[size_t(row)].path : QString();
}

void SetupHistoryList::open(int row)
{
    if (valid(row) && m_host.open)
        m_host.open(path(row));
}

void SetupHistoryList::compare(int row)
{
    if (valid(row) && m_host.compare)
        m_host.compare(path(row));
}

void SetupHistoryList::remove(int row)
{
    if (!valid(row))
        return;
    const QStringList c = cells(row);
    const auto answer
        = m_dialogs.message(QStringLiteral("Delete the %1 setup kept on %2?").arg(c[1].toLower(), c[0]),
            UserDialogs::Icon::Question, UserDialogs::defaultTitle(), UserDialogs::Buttons::YesNo);
    if (answer != UserDialogs::Answer::Yes)
        return;
    const QString error = m_history.remove(path(row));
    if (!error.isEmpty()) {
        m_dialogs.message(
            QStringLiteral("Could not delete %1: %2").arg(QFileInfo(path(row)).fileName(), error),
            UserDialogs::Icon::Critical);
    }
    refresh();
}

void SetupHistoryList::showFolder()
{
    QDir().mkpath(m_history.folder()); // an empty history has no folder yet
    if (m_host.showFolder)
        m_host.showFolder(m_history.folder());
}
