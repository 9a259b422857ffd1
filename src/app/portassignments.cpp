// SPDX-License-Identifier: GPL-3.0-or-later
#include "portassignments.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QSettings>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

#include "app/settingsstore.h"

namespace {

QString joinDetails(const PortAssignments::FoundPort &port)
{
    QStringList parts;
    for (const QString &part : { port.description, port.manufacturer })
        if (!part.trimmed().isEmpty())
            parts << part.trimmed();
    if (!port.serialNumber.trimmed().isEmpty())
        parts << QStringLiteral("serial %1").arg(port.serialNumber.trimmed());
    return parts.join(QStringLiteral(", "));
}

} // namespace

PortAssignments::Machine PortAssignments::thisMachine()
{
    Machine m;
    m.ports = [] {
        QList<FoundPort> out;
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            out.append(FoundPort {
                info.systemLocation(), info.description(), info.manufacturer(), info.serialNumber() });
        return out;
    };
    m.byIdFolder = qEnvironmentVariable("QRX_SERIAL_BY_ID", QStringLiteral("/dev/serial/by-id"));
    m.mayOpen = [](const QString &path) {
#ifdef Q_OS_UNIX
        return ::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0;
#else
        Q_UNUSED(path);
        return true;
#endif
    };
    return m;
}

PortAssignments::PortAssignments(int comCount, Machine machine)
    : m_comCount(comCount)
    , m_machine(std::move(machine))
    , m_stored(std::size_t(comCount))
    , m_paths(std::size_t(comCount))
{
}

void PortAssignments::load()
{
    for (int com = 1; com <= m_comCount; ++com)
        m_stored[std::size_t(com - 1)] = m_paths[std::size_t(com - 1)] = SettingsStore::portPath(com);

    // A USB adapter's node (/dev/ttyUSB0) changes with the order of plugging; its name under
    // by-id does not, so the by-id name is what we offer where one points at the port.
    struct Link
    {
        QString path;
        QString target;
        bool used = false;
    };
    std::vector<Link> links;
    if (!m_machine.byIdFolder.isEmpty()) {
        const QDir folder(m_machine.byIdFolder);
        const auto entries
            = folder.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries)
            links.push_back({ entry.filePath(), entry.canonicalFilePath() });
    }

    m_choices.clear();
    const QList<FoundPort> found = m_machine.ports ? m_machine.ports() : QList<FoundPort>();
    for (const FoundPort &port : found) {
        const QString node = QFileInfo(port.path).canonicalFilePath();
        auto link = std::find_if(links.begin(), links.end(),
            [&](const Link &l) { return !l.used && !node.isEmpty() && l.target == node; });
        QString details = joinDetails(port);
        if (link == links.end()) {
            m_choices.push_back({ port.path, details });
            continue;
        }
        link->used = true;
        const QString now = QStringLiteral("now %1").arg(port.path);
        m_choices.push_back({ link->path, details.isEmpty() ? now : details + QStringLiteral(", ") + now });
    }
    // Names under by-id whose port the system does not list (a pseudo-terminal, say) are offered too.
    for (const Link &link : links) {
        if (!link.used && !link.target.isEmpty())
            m_choices.push_back({ link.path, QStringLiteral("now %1").arg(link.target) });
    }
}

QString PortAssignments::path(int com) const
{
    return com >= 1 && com <= m_comCount ? m_paths[std::size_t(com - 1)] : QString();
}

void PortAssignments::setPath(int com, const QString &path)
{
    if (com >= 1 && com <= m_comCount)
        m_paths[std::size_t(com - 1)] = path.trimmed();
}

QString PortAssignments::resolved(const QString &path) const
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

PortAssignments::Presence PortAssignments::presence(const QString &path) const
{
    if (path.isEmpty())
        return Presence::Missing;
    const bool listed
        = std::any_of(m_choices.begin(), m_choices.end(), [&](const Choice &c) { return c.path == path; });
    if (!listed && !QFileInfo::exists(path))
        return Presence::Missing;
    if (m_machine.mayOpen && QFileInfo::exists(path) && !m_machine.mayOpen(path))
        return Presence::NoPermission;
    return Presence::Present;
}

QString PortAssignments::note(const QString &path) const
{
    switch (presence(path)) {
    case Presence::Missing:
        return QStringLiteral("missing");
    case Presence::NoPermission:
        return permissionHint(path);
    case Presence::Present:
        break;
    }
    const QString target = resolved(path);
    for (const Choice &c : m_choices) {
        if ((c.path == path || resolved(c.path) == target) && !c.details.isEmpty())
            return c.details;
    }
    return QStringLiteral("present");
}

QString PortAssignments::permissionHint(const QString &path)
{
    return QStringLiteral("You may not open %1: join the group dialout (sudo adduser $USER dialout), "
                          "then log out and in again.")
        .arg(path);
}

void PortAssignments::store() const
{
    auto settings = SettingsStore::open();
    for (int com = 1; com <= m_comCount; ++com) {
        const QString &edited = m_paths[std::size_t(com - 1)];
        if (edited == m_stored[std::size_t(com - 1)])
            continue;
        const QString key = QStringLiteral("Ports/Com%1").arg(com);
        if (edited.isEmpty())
            settings->remove(key);
        else
            settings->setValue(key, edited);
    }
}
