// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include <QString>
#include <QStringList>

// Everything that shapes one simulated device: family, files, timing and the faults to inject.
struct SimOptions
{
    QString family = QStringLiteral("Dravion");
    QString configPath;
    QString statePath;
    QString version; // empty: the configuration's version, else "1.00"
    int outputType = 0;
    int latencyMs = 0;
    bool pacing = true; // 9600 baud: about 1.04 ms per character
    QString linkPath; // symlink to the pty
    QString logPath; // traffic log, one line per frame
    // Faults, each drawn per command with the seeded generator.
    double drop = 0.0;
    double garble = 0.0;
    double wrongCode = 0.0;
    double delay = 0.0;
    int delayMs = 700; // past the 500 ms reply time-out
    bool silent = false;
    int errorCode = 0; // with errorItem: answer "E<code>" to every command for that item
    QString errorItem; // an item code ("11") or a plain command letter ("W")
    QString ignoreItem; // never answer commands for this item code or plain letter
    int vanishAfter = -1; // close the pty when command N+1 arrives
    double jitterHz = 0.0; // each "F" answer off by up to this much, either way
    quint32 seed = 1;
    bool help = false; // --help: print the usage and serve nothing
    bool showVersion = false; // --version: print the program's version and serve nothing

    // The options and what they do, as --help prints them.
    static QString usage();
    // Parses program arguments (without the program name); nothing and an error text on failure.
    static std::optional<SimOptions> parse(const QStringList &arguments, QString *error);
    // The arguments that reproduce these options for the qrx-sim program.
    QStringList toArguments() const;
};
