// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "qrxcli.h"

class UnitProcess;

// One command on several ports at the same time: a qrx-cli of its own for each port, so a unit
// that fails or hangs never holds up the others; at the end a summary of every unit, and the
// highest of their statuses as the run's. An interrupt stops every unit not yet storing.
class MultiPortRun final
{
public:
    MultiPortRun(const QrxCli::Options &options, const QStringList &ports);
    ~MultiPortRun();

    int run();

    // Why these ports cannot run the command (a usage error, before anything is sent); empty
    // when they can.
    static QString problem(const QrxCli::Options &options, const QStringList &ports);
    // The arguments of one port's own run.
    static QStringList arguments(const QrxCli::Options &options, const QString &port, const QString &record);

private:
    struct Outcome
    {
        QString port;
        QString result;
        int status = 0;
        double seconds = 0;
    };

    Outcome outcome(const UnitProcess &unit, const QString &recordPath) const;
    void printSummary(const std::vector<Outcome> &outcomes, int status) const;

    QrxCli::Options m_options;
    QStringList m_ports;
    bool m_stopping = false; // an interrupt came
};
