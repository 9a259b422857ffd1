// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// One unit of a run on several ports: a qrx-cli of its own, whose lines come out marked with the
// port (or, as JSON, with a "port" member), and how it ended.
class UnitProcess final : public QObject
{
    Q_OBJECT
public:
    UnitProcess(const QString &program, const QStringList &arguments, const QString &port, bool json,
        QObject *parent = nullptr);

    void start();
    void terminate(); // asks it to stop: a unit not yet storing stops, a storing one finishes
    void kill();

    const QString &port() const { return m_port; }
    bool running() const { return !m_ended; }
    // After finished(): a normal exit with its status, or not (a signal, or it never started).
    bool exitedNormally() const { return m_normal; }
    int exitCode() const { return m_exitCode; }
    bool killed() const { return m_killed; }
    QString failure() const { return m_failure; }
    qint64 elapsedMs() const { return m_elapsedMs; }

signals:
    void finished();

private:
    void forward(QByteArray &pending, FILE *out, bool json);
    void end(bool normal, int exitCode, const QString &failure);

    QProcess m_process;
    QStringList m_arguments;
    QString m_program;
    QString m_port;
    QByteArray m_prefix;
    bool m_json = false;
    QByteArray m_out, m_err; // what arrived after the last line end
    QElapsedTimer m_clock;
    bool m_ended = false;
    bool m_normal = false;
    bool m_killed = false;
    int m_exitCode = -1;
    QString m_failure;
    qint64 m_elapsedMs = 0;
};
