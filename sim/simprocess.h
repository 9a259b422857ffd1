// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include "simoptions.h"

// Runs the qrx-sim program (tests get its path as QRX_SIM_PATH) and waits until it serves.
class SimProcess final
{
public:
    explicit SimProcess(const QString &program);
    ~SimProcess();

    bool start(const SimOptions &options, int timeoutMs = 5000);
    bool start(const QStringList &arguments, int timeoutMs = 5000);
    void stop(); // SIGTERM: the program removes its link and exits
    QString path() const { return m_path; }
    QString errorText() const { return m_error; }
    QProcess &process() { return m_process; }

private:
    QString m_program;
    QProcess m_process;
    QString m_path;
    QString m_error;
};
