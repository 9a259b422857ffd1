// SPDX-License-Identifier: GPL-3.0-or-later
// 100,000 received characters through the link's echo into a visible line monitor: time per
// character, and the largest gap of a 10 ms timer while the stream runs (event loop responsiveness).
#include <algorithm>
#include <cstdio>
#include <ctime>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTimer>

#include "fakeuserdialogs.h"
#include "link/appcontext.h"
#include "link/deviceport.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/replytimer.h"
#include "monitor/frmlinemonitor.h"
#include "params/devicefamily.h"

namespace {

class StreamPort final : public DevicePort
{
public:
    Error open(const QString &) override { return {}; }
    void close() override { }
    bool isOpen() const override { return true; }
    void discardInput() override { m_in.clear(); }
    Error write(const QByteArray &) override { return {}; }
    QByteArray readAll() override { return std::exchange(m_in, QByteArray()); }
    void feed(const QByteArray &bytes)
    {
        m_in += bytes;
        emit dataReceived();
    }

private:
    QByteArray m_in;
};

class IdleTimer final : public ReplyTimer
{
public:
    void start() override { }
    void stop() override { }
    bool isActive() const override { return false; }
};

struct Result
{
    double microsPerChar = 0; // wall time
    double cpuMicrosPerChar = 0; // processor time: at a slow pace this is the real cost
    qint64 maxGapMs = 0;
    int ticks = 0;
};

// Streams `total` characters in chunks of `chunk`, one chunk per `intervalMs` (0 = flat out).
Result run(frmLineMonitor &monitor, StreamPort &port, int tab, int total, int chunk, int intervalMs)
{
    monitor.findChild<QTabBar *>(QStringLiteral("TabStrip1"))->setCurrentIndex(tab);
    // Replies of a Read Setup mixed with a longer row, as the device sends them.
    QByteArray pattern("\x02"
                       "3i2\r"
                       "\x02"
                       "9f1234.567\r"
                       "\x02V2.05 build 17, serial 000123\r");
    QByteArray stream;
    while (stream.size() < total)
        stream += pattern;
    stream.truncate(total);

    QEventLoop loop;
    QElapsedTimer clock;
    qint64 last = 0;
    Result result;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        result.maxGapMs = std::max(result.maxGapMs, now - last);
        last = now;
        ++result.ticks;
    });
    int sent = 0;
    QTimer feeder;
    feeder.setInterval(intervalMs);
    QObject::connect(&feeder, &QTimer::timeout, [&] {
        const int n = std::min(chunk, total - sent);
        port.feed(stream.mid(sent, n));
        sent += n;
        if (sent >= total) {
            feeder.stop();
            QTimer::singleShot(0, &loop, &QEventLoop::quit); // after the last flush
        }
    });
    const std::clock_t cpuStart = std::clock();
    clock.start();
    tick.start();
    feeder.start();
    loop.exec();
    const qint64 elapsedNs = clock.nsecsElapsed();
    result.maxGapMs = std::max(result.maxGapMs, clock.elapsed() - last);
    result.microsPerChar = double(elapsedNs) / 1000.0 / total;
    result.cpuMicrosPerChar = double(std::clock() - cpuStart) * 1e6 / CLOCKS_PER_SEC / total;
    return result;
}

// Read Setup as the device sees it: each command echoed, then its reply streamed in; with time
// stamps every row is stamped and every reply timed.
Result runExchanges(
    frmLineMonitor &monitor, LinkEngine &link, DeviceState &state, StreamPort &port, int exchanges)
{
    monitor.findChild<QTabBar *>(QStringLiteral("TabStrip1"))->setCurrentIndex(0);
    QElapsedTimer clock;
    const std::clock_t cpuStart = std::clock();
    clock.start();
    int chars = 0;
    for (int i = 0; i < exchanges; ++i) {
        state.CommAbort = false;
        state.CommandString = QStringLiteral("3i");
        link.SendCommand(true);
        const QByteArray reply("\x02"
                               "3i2\r");
        for (char c : reply)
            port.feed(QByteArray(1, c));
        chars += int(reply.size()) + 5;
        if (i % 16 == 0)
            QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    Result result;
    result.microsPerChar = double(clock.nsecsElapsed()) / 1000.0 / chars;
    result.cpuMicrosPerChar = double(std::clock() - cpuStart) * 1e6 / CLOCKS_PER_SEC / chars;
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    DeviceState state;
    FakeUserDialogs dialogs;
    StreamPort port;
    IdleTimer timer;
    LinkEngine link(state, port, timer, dialogs);
    AppContext context { state, &link, dialogs, DeviceFamily::dravion() };
    frmLineMonitor monitor(context);
    link.setEcho(&monitor);
    monitor.show();

    constexpr int Total = 100000;
    std::printf("%d received characters into the visible monitor (platform %s)\n", Total,
        qPrintable(QGuiApplication::platformName()));
    struct Case
    {
        const char *name;
        int tab;
        int chunk;
        int intervalMs;
    };
    const Case cases[] = {
        { "ASCII, flat out, 64-byte chunks", 0, 64, 0 },
        { "Hex, flat out, 64-byte chunks", 1, 64, 0 },
        { "ASCII, flat out, 1-byte chunks", 0, 1, 0 },
        { "ASCII, 9600 baud pace (20 B / 20 ms)", 0, 20, 20 },
    };
    auto *stamps = monitor.findChild<QCheckBox *>(QStringLiteral("ckbTimeStamps"));
    for (bool on : { false, true }) {
        stamps->setChecked(on);
        std::printf("-- time stamps %s\n", on ? "on" : "off");
        for (const Case &c : cases) {
            const int total = c.intervalMs ? 5000 : Total;
            const Result r = run(monitor, port, c.tab, total, c.chunk, c.intervalMs);
            const QString text
                = monitor.findChild<QPlainTextEdit *>(QStringLiteral("txtComm"))->toPlainText();
            std::printf("%-40s %6d chars %8.2f us/char wall %6.2f us/char cpu  max 10 ms-timer gap %3lld ms"
                        " (%d ticks)  rows %lld, count %d\n",
                c.name, total, r.microsPerChar, r.cpuMicrosPerChar, static_cast<long long>(r.maxGapMs),
                r.ticks, static_cast<long long>(text.count(QLatin1Char('\n')) + 1), int(state.MonitorRows));
        }
        const Result r = runExchanges(monitor, link, state, port, 5000);
        std::printf("%-40s %6d exch. %8.2f us/char wall %6.2f us/char cpu\n",
            "Read Setup exchanges, flat out", 5000, r.microsPerChar, r.cpuMicrosPerChar);
    }
    return 0;
}
