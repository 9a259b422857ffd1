// SPDX-License-Identifier: GPL-3.0-or-later
// Read Setup and Download Setup (ten points) through the main window against the paced qrx-sim
// program: wall time against the line time of the bytes exchanged; the utility's CPU while it
// polls the frequency for ten seconds; its peak resident memory. Optionally a screenshot of the
// progress window during the download.

#include <cstdio>
#include <map>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include "app/frmaltmain.h"
#include "fakeuserdialogs.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "params/devicefamily.h"
#include "simprocess.h"
#include "transfer/frmprogress.h"
#include "transfer/setuptransfer.h"

namespace {

// The real serial port with a count of the bytes that pass it both ways.
class CountingPort final : public DevicePort
{
public:
    qint64 bytes = 0;

    CountingPort()
    {
        connect(&m_port, &DevicePort::dataReceived, this, &DevicePort::dataReceived);
        connect(&m_port, &DevicePort::connectionLost, this, &DevicePort::connectionLost);
    }
    Error open(const QString &path) override { return m_port.open(path); }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    void discardInput() override { m_port.discardInput(); }
    Error write(const QByteArray &data) override
    {
        bytes += data.size();
        return m_port.write(data);
    }
    QByteArray readAll() override
    {
        const QByteArray data = m_port.readAll();
        bytes += data.size();
        return data;
    }

private:
    SerialDevicePort m_port;
};

double cpuSeconds()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec)
        + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long peakKb()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

struct Timing
{
    double wall = 0;
    double line = 0;
    double ratio() const { return wall / line; }
};

Timing timed(CountingPort &port, const std::function<void()> &run)
{
    const qint64 before = port.bytes;
    QElapsedTimer wall;
    wall.start();
    run();
    Timing t;
    t.wall = wall.nsecsElapsed() / 1e9;
    t.line = double(port.bytes - before) * 10.0 / 9600.0;
    return t;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QString screenshot;
    int latency = 0;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a == QLatin1String("--screenshot") && i + 1 < argc)
            screenshot = QString::fromLocal8Bit(argv[++i]);
        else if (a == QLatin1String("--latency") && i + 1 < argc)
            latency = std::atoi(argv[++i]);
    }

    // A device holding a full setup: Kgs (so the Specific Gravity is read too) and ten points.
    QTemporaryDir dir;
    const QString statePath = dir.filePath(QStringLiteral("device.ini"));
    {
        QFile f(statePath);
        f.open(QIODevice::WriteOnly | QIODevice::Text);
        std::map<int, QByteArray> values { { 3, "3" }, { 4, "1" }, { 8, "0" }, { 9, "125.5" }, { 11, "7" },
            { 15, "0" }, { 16, "900" }, { 100, "10" }, { 7, "1.2" } };
        for (int i = 0; i < 10; ++i) {
            values[101 + 2 * i] = QByteArray::number(100 * (i + 1));
            values[102 + 2 * i] = QByteArray::number(9.5 * (i + 1));
        }
        for (const auto &[code, value] : values)
            f.write(QByteArray::number(code) + '=' + value + '\n');
    }
    SimOptions options;
    options.latencyMs = latency;
    options.statePath = statePath;
    const QString config
        = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Config.inf"));
    if (QFile::exists(config))
        options.configPath = config;
    SimProcess sim(QStringLiteral(QRX_SIM_PATH));
    if (!sim.start(options)) {
        std::fprintf(stderr, "%s\n", qPrintable(sim.errorText()));
        return 1;
    }

    DeviceState state;
    CountingPort port;
    QtReplyTimer timer;
    FakeUserDialogs dialogs;
    LinkEngine link(state, port, timer, dialogs);
    const QString path = sim.path();
    link.setPortResolver([path](int) { return path; });
    AppContext context { state, &link, dialogs, DeviceFamily::dravion() };
    frmAltMain window(context);
    window.show();
    dialogs.clear();

    state.CommandString = QStringLiteral("V"); // port open and simulator warm before timing
    link.SendCommand();

    // The first read also creates the linear points window that clearing needs.
    const Timing firstRead = timed(port, [&] { window.controls().btnRead->click(); });
    dialogs.clear();
    const Timing read = timed(port, [&] { window.controls().btnRead->click(); });
    const QStringList readBoxes = dialogs.texts();
    dialogs.clear();

    bool shot = false;
    if (!screenshot.isEmpty()) {
        QObject::connect(
            window.transfer().progressWindow(), &frmProgress::percentChanged, [&](const QString &p) {
                if (shot || p.chopped(1).toInt() < 40)
                    return;
                shot = true;
                frmProgress *progress = window.transfer().progressWindow();
                QApplication::processEvents(); // let the new percentage paint
                progress->grab().save(screenshot);
                if (QScreen *screen = QGuiApplication::primaryScreen())
                    screen->grabWindow(0).save(
                        QString(screenshot).replace(QLatin1String(".png"), QLatin1String("-screen.png")));
            });
    }
    const Timing download = timed(port, [&] { window.controls().btnDownload->click(); });
    const QStringList downloadBoxes = dialogs.texts();

    // Ten seconds of live polling; the event loop runs as it does for a user watching the display.
    window.controls().Option1->click();
    const double cpu0 = cpuSeconds();
    QElapsedTimer pollWall;
    pollWall.start();
    int polls = 0;
    QObject::connect(&link, &LinkEngine::exchangeFinished, [&polls] { ++polls; });
    // A loop of its own: quitting the application while the poll waits for its reply would
    // leave the link's wait without an event loop to run.
    QEventLoop watching;
    QTimer::singleShot(10000, Qt::PreciseTimer, &watching, &QEventLoop::quit);
    watching.exec();
    const double pollCpu = cpuSeconds() - cpu0;
    const double pollS = pollWall.nsecsElapsed() / 1e9;
    window.controls().Option2->click();

    std::printf("reply latency   %d ms, paced simulator at 9600 baud\n", latency);
    std::printf("first read      wall %.3f s, line %.3f s, ratio %.3f\n", firstRead.wall, firstRead.line,
        firstRead.ratio());
    std::printf("Read Setup      wall %.3f s, line %.3f s, ratio %.3f  [%s]\n", read.wall, read.line,
        read.ratio(), qPrintable(readBoxes.join(QLatin1String(" | "))));
    std::printf("Download Setup  wall %.3f s, line %.3f s, ratio %.3f  [%s]\n", download.wall, download.line,
        download.ratio(), qPrintable(downloadBoxes.join(QLatin1String(" | "))));
    std::printf("                (target ratio <= 1.10 at zero latency)\n");
    std::printf("polling         %.1f s, %d polls, CPU %.3f s = %.2f %% of one core (target <= 2 %%)\n",
        pollS, polls, pollCpu, 100.0 * pollCpu / pollS);
    std::printf("peak resident   %.1f MB (target <= 100 MB)\n", peakKb() / 1024.0);
    if (!screenshot.isEmpty())
        std::printf("screenshot      %s%s\n", qPrintable(screenshot), shot ? "" : " (not taken)");
    port.close();
    sim.stop();
    const bool ok = readBoxes == QStringList { QStringLiteral("Read Successful") }
        && downloadBoxes == QStringList { QStringLiteral("Programming Successful") };
    return ok ? 0 : 1;
}
