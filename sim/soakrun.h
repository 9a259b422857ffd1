// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include "simoptions.h"

// Outcome counts of a soak; problems lists every exchange that ended in no defined way.
struct SoakCounts
{
    int exchanges = 0;
    int valid = 0;
    int inval = 0; // "Inval" after the resends
    int noRsp = 0; // "NoRsp" after the time-out resend
    int deviceError = 0; // "" with the latch set, after an E reply
    int portError = 0; // "" with the latch set, the port failed or vanished
    int skipped = 0; // later commands of a sequence whose latch was already set
    int transmissions = 0;
    qint64 virtualMs = 0;
    QStringList problems;

    SoakCounts &operator+=(const SoakCounts &other);
    QString summary() const;
};

// Runs exchanges through the real LinkEngine against the simulated device on an in-memory line
// with virtual time (faults from options), in sequences of one to five commands that share the
// error latch. Every unplugEvery-th exchange pulls the cable for unpluggedFor exchanges.
SoakCounts runClockedSoak(
    const SimOptions &options, int exchanges, quint32 commandSeed, int unplugEvery = 0, int unpluggedFor = 3);

// A command body of the Dravion family: reads, writes in and out of range, the plain commands.
QString randomDravionCommand(quint32 &state);
