// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <mutex>

#include <QByteArray>
#include <QString>

#include "deviceresponder.h"
#include "simoptions.h"
#include "trafficlog.h"

// Serves one simulated device on a pseudo-terminal: frames arriving from the utility are answered
// at the line speed of 9600 baud. run() blocks; stop() may be called from any thread or a signal.
class PtyServer final
{
public:
    explicit PtyServer(const SimOptions &options);
    ~PtyServer();
    PtyServer(const PtyServer &) = delete;
    PtyServer &operator=(const PtyServer &) = delete;

    bool open(QString *error);
    QString path() const { return m_path; }
    void run();
    void stop();
    bool vanished() const { return m_vanished; }
    // Why the configuration could not be read (the built-in ranges apply then), or empty.
    QString setupError() const { return m_responder.setupError(); }

    TrafficLog &log() { return m_log; }
    // Access to the model from another thread while run() serves.
    template <typename F> auto withModel(F f)
    {
        std::lock_guard<std::mutex> lock(m_modelMutex);
        return f(m_responder.model());
    }

private:
    void onByte(char c, qint64 nowNs);
    void answer(const QByteArray &frame, qint64 stxNs);
    void writePaced(const QByteArray &bytes, qint64 startNs);
    void flushPartial();
    void closeAll();

    SimOptions m_options;
    DeviceResponder m_responder;
    TrafficLog m_log;
    std::mutex m_modelMutex;
    int m_master = -1;
    int m_slave = -1; // our own slave descriptor keeps the master usable across client closes
    int m_stopPipe[2] = { -1, -1 };
    QString m_path;
    QByteArray m_frame;
    QByteArray m_line; // bytes since the last CR, for the log
    qint64 m_stxNs = 0;
    bool m_vanished = false;
};
