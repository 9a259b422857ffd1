// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// How one run of a program ended: its exit status (-1 when it crashed or did not end in time) and
// what it printed.
struct ProgramRun
{
    int status = -1;
    QString out, err;

    // Runs the program to its end, which must come within limitMs. headless: with no display at
    // all, as from a plain shell.
    static ProgramRun of(const QString &program, const QStringList &arguments, int limitMs,
        bool headless = false, const QString &locale = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (headless) {
            for (const char *name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
                env.remove(QLatin1String(name));
        }
        if (!locale.isEmpty())
            env.insert(QStringLiteral("LC_ALL"), locale);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, arguments);
        const bool ended = p.waitForFinished(limitMs) && p.exitStatus() == QProcess::NormalExit;
        return { ended ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError()) };
    }
};
