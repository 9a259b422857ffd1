// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

struct DeviceFamily;
class DeviceState;
class StderrDialogs;

// The command that needs no device: check one data file against the configuration.
namespace CheckCommand {

// 0 when the file would download, 1 when it has problems, 2 when it cannot be read.
int check(const DeviceFamily &family, const DeviceState &configured, const QMap<int, QStringList> &lists,
    const QString &path, bool json, StderrDialogs &dialogs);

} // namespace CheckCommand
