// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <thread>

#include <QString>
#include <QStringList>

#include "ptyserver.h"
#include "simoptions.h"

// A simulated device on a real pty, served by a thread of the calling process: a test starts it,
// points the link at path(), and reads the traffic log afterwards.
class SimulatedDevice final
{
public:
    explicit SimulatedDevice(const SimOptions &options = {});
    ~SimulatedDevice();

    bool start(QString *error = nullptr);
    void stop();
    QString path() const;

    QStringList log() const; // every log line
    QStringList received() const; // the "recv" lines without their prefix
    int receivedCount(const QString &markup) const;
    bool vanished() const;

    double itemValue(int code);
    void setItemValue(int code, double value);

private:
    std::unique_ptr<PtyServer> m_server;
    std::thread m_thread;
};
