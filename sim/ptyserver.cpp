// SPDX-License-Identifier: GPL-3.0-or-later
#include "ptyserver.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include <QFile>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qint64 CharNs = 1'041'667; // 10 bits at 9600 baud

qint64 nowNs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

void sleepUntil(qint64 ns)
{
    timespec ts { time_t(ns / 1'000'000'000), long(ns % 1'000'000'000) };
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) { }
}

bool makeRaw(int fd)
{
    termios t;
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

PtyServer::PtyServer(const SimOptions &options)
    : m_options(options)
    , m_responder(options)
{
}

PtyServer::~PtyServer()
{
    closeAll();
    for (int &fd : m_stopPipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

bool PtyServer::open(QString *error)
{
    const auto fail = [error](const QString &what) {
        *error = what + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno));
        return false;
    };
    if (!m_options.logPath.isEmpty() && !m_log.openFile(m_options.logPath))
        return fail(QStringLiteral("cannot write ") + m_options.logPath);
    if (pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return fail(QStringLiteral("pipe"));
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail(QStringLiteral("posix_openpt"));
    // Raw at once: in cooked mode early bytes are echoed and CR turns into LF.
    if (!makeRaw(m_master) || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return fail(QStringLiteral("pty setup"));
    char name[128];
    if (ptsname_r(m_master, name, sizeof name) != 0)
        return fail(QStringLiteral("ptsname"));
    m_path = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0 || !makeRaw(m_slave))
        return fail(QStringLiteral("open ") + m_path);
    fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    if (!m_options.linkPath.isEmpty()) {
        const QByteArray link = QFile::encodeName(m_options.linkPath);
        ::unlink(link.constData());
        if (::symlink(name, link.constData()) != 0)
            return fail(QStringLiteral("symlink ") + m_options.linkPath);
    }
    return true;
}

void PtyServer::stop()
{
    if (m_stopPipe[1] >= 0) {
        const char c = 'x';
        [[maybe_unused]] const ssize_t n = ::write(m_stopPipe[1], &c, 1);
    }
}

void PtyServer::closeAll()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = m_slave = -1;
    if (!m_options.linkPath.isEmpty())
        ::unlink(QFile::encodeName(m_options.linkPath).constData());
}

void PtyServer::run()
{
    char buf[512];
    while (m_master >= 0) {
        pollfd fds[2] = { { m_master, POLLIN, 0 }, { m_stopPipe[0], POLLIN, 0 } };
        // Bytes without a CR are logged once the line has been quiet for 20 ms.
        const int r = ::poll(fds, 2, m_line.isEmpty() ? -1 : 20);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents)
            break;
        if (r == 0) {
            flushPartial();
            continue;
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            const qint64 t = nowNs();
            for (ssize_t i = 0; i < n && m_master >= 0; ++i)
                onByte(buf[i], t);
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            ::usleep(10'000); // cannot happen while our slave descriptor is open; never spin
        }
    }
    flushPartial();
    closeAll();
}

void PtyServer::flushPartial()
{
    if (!m_line.isEmpty())
        m_log.add(QStringLiteral("recv ") + TrafficLog::markup(m_line));
    m_line.clear();
}

void PtyServer::onByte(char c, qint64 t)
{
    m_line += c;
    if (c == '\x02') {
        m_frame.clear();
        m_stxNs = t;
    }
    m_frame += c;
    if (c != '\x0d')
        return;
    flushPartial();
    if (m_frame.startsWith('\x02'))
        answer(m_frame, m_stxNs);
    m_frame.clear();
}

void PtyServer::answer(const QByteArray &frame, qint64 stxNs)
{
    DeviceResponder::Response r;
    {
        std::lock_guard<std::mutex> lock(m_modelMutex);
        r = m_responder.respond(frame);
    }
    if (!r.fault.isEmpty())
        m_log.add(QStringLiteral("fault ") + r.fault);
    if (r.vanish) {
        m_vanished = true;
        closeAll();
        return;
    }
    if (r.frame.isEmpty())
        return;
    // The command itself needs its line time before the device can have seen the CR.
    qint64 start = nowNs();
    if (m_options.pacing)
        start = std::max(start, stxNs + qint64(frame.size()) * CharNs);
    start += qint64(m_options.latencyMs + r.delayMs) * 1'000'000;
    m_log.add(QStringLiteral("send ") + TrafficLog::markup(r.frame));
    writePaced(r.frame, start);
}

void PtyServer::writePaced(const QByteArray &bytes, qint64 startNs)
{
    if (!m_options.pacing) {
        sleepUntil(startNs);
        [[maybe_unused]] const ssize_t n = ::write(m_master, bytes.constData(), size_t(bytes.size()));
        return;
    }
    for (int i = 0; i < bytes.size(); ++i) {
        sleepUntil(startNs + qint64(i + 1) * CharNs);
        [[maybe_unused]] const ssize_t n = ::write(m_master, bytes.constData() + i, 1);
    }
}
