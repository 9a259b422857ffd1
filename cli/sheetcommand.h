// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QMap>
#include <QString>
#include <QStringList>

struct DeviceFamily;
class DeviceState;
class QCoreApplication;
class StderrDialogs;

// qrx-cli sheet FILE.dat OUT.pdf: a data file's setup sheet, as the window exports it.
namespace SheetCommand {

// The sheet paints text, which needs a GUI application object; the offscreen platform serves it
// without a display. Every other command keeps the plain core application.
std::unique_ptr<QCoreApplication> application(int &argc, char **argv);

// 0 when the sheet was written; 2 when the data file cannot be read or OUT cannot be written.
int sheet(const DeviceFamily &family, const DeviceState &configured, const QMap<int, QStringList> &lists,
    const QString &file, const QString &out, bool skipCorrupt, StderrDialogs &dialogs);

} // namespace SheetCommand
