// SPDX-License-Identifier: GPL-3.0-or-later
#include "clihistory.h"

#include <QDir>

#include "app/historykeeper.h"
#include "app/settingsstore.h"
#include "params/setupmodel.h"
#include "qrxcli.h"
#include "stderrdialogs.h"

namespace CliHistory {

QString portName(const QString &port)
{
    const int number = port.trimmed().isEmpty() ? SettingsStore::rememberedPort() : QrxCli::comNumber(port);
    return number > 0 ? QStringLiteral("Com%1").arg(number) : port;
}

void keep(const SetupModel &setup, SetupHistory::What what, const QString &port, StderrDialogs &dialogs)
{
    if (!HistoryKeeper::storedKeepsHistory())
        return;
    const auto bytes = SetupHistory::bytesOf(setup);
    const SetupHistory::Kept kept = bytes
        ? SetupHistory().keep(*bytes, what, port)
        : SetupHistory::Kept { {}, QStringLiteral("the setup cannot be written") };
    if (!kept.ok())
        dialogs.line(QStringLiteral("Setup history not kept: ") + kept.error);
}

bool keepBackup(const SetupModel &setup, const QString &folder, const QString &port, StderrDialogs &dialogs,
    QString *path)
{
    const auto bytes = SetupHistory::bytesOf(setup);
    // Every backup stays: the folder is the user's, not the history's.
    const SetupHistory::Kept kept = bytes
        ? SetupHistory(folder, 0).keep(*bytes, SetupHistory::What::Backup, port)
        : SetupHistory::Kept { {}, QStringLiteral("the setup cannot be written") };
    if (!kept.ok()) {
        dialogs.line(QStringLiteral("Backup not written, nothing downloaded: ") + kept.error);
        return false;
    }
    if (path)
        *path = kept.path;
    dialogs.line(QStringLiteral("Backup: ") + QDir::toNativeSeparators(kept.path));
    return true;
}

} // namespace CliHistory
