// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QObject>

#include "datafile/setuphistory.h"

// Keeps a main window's setups in the history: every read and download, the device's setup
// before a download when asked, and edits neither downloaded nor saved before they are discarded.
// A history that cannot be written never stops the window: the status bar says so once.
class HistoryKeeper final : public QObject
{
    Q_OBJECT

public:
    struct Host
    {
        std::function<std::optional<QByteArray>()> setupBytes; // the window's setup as Save writes it
        std::function<QString()> port; // the port's name, "Com1"
        std::function<void(const QString &)> setStatusText;
        std::function<bool()> busy; // a transfer runs: a failure is told once it has ended
    };

    HistoryKeeper(Host host, SetupHistory history, QObject *parent);

    SetupHistory &history() { return m_history; }
    // The remembered "Keep Setup History", for the command line as well.
    static bool storedKeepsHistory();

    // "Options > Keep Setup History" (on unless turned off) and "Options > Back Up Before
    // Download" (off unless turned on), both remembered in the settings store.
    bool keepsHistory() const { return m_keep; }
    void setKeepsHistory(bool on);
    bool backsUp() const { return m_backUp; }
    void setBacksUp(bool on);

    // A read or a download that succeeded; a window's setup sent or read is then settled.
    void keepTransferred(SetupHistory::What what, const std::optional<QByteArray> &bytes);
    // A backup is kept whenever one is taken, since it was asked for by itself.
    void keepBackup(const std::optional<QByteArray> &bytes);
    // The window's setup is about to be discarded: kept as "unsaved" unless it is settled.
    void discarding();
    // The window's setup is one nobody would miss: saved, opened, cleared, read or downloaded.
    void settle();
    // Tells a failure held back while a transfer ran.
    void showPending();

Q_SIGNALS:
    void kept(); // a setup went into the history

private:
    void keep(SetupHistory::What what, const QByteArray &bytes);
    void tell(const QString &error);

    Host m_host;
    SetupHistory m_history;
    bool m_keep = true;
    bool m_backUp = false;
    std::optional<QByteArray> m_settled;
    bool m_failing = false; // told once until a setup is kept again
    QString m_pending;
};
