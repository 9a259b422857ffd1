// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QList>
#include <QString>

// What "&Assign Serial Ports..." edits: the device path behind each "Com n", and the ports found
// on the machine to choose from. Nothing is written until store(), so a cancelled dialog changes
// nothing.
class PortAssignments final
{
public:
    // One port as the system lists it (QSerialPortInfo in the program, made up in tests).
    struct FoundPort
    {
        QString path; // e.g. /dev/ttyUSB0
        QString description;
        QString manufacturer;
        QString serialNumber;
    };

    // Where the ports are looked for; the defaults read the machine.
    struct Machine
    {
        std::function<QList<FoundPort>()> ports;
        QString byIdFolder; // stable names of USB adapters
        std::function<bool(const QString &)> mayOpen; // read and write permission
    };

    // A path offered in the list, with what is known about the port behind it.
    struct Choice
    {
        QString path;
        QString details; // description, manufacturer and serial number, as far as known
    };

    enum class Presence { Present, Missing, NoPermission };

    // The machine as it is: QSerialPortInfo, /dev/serial/by-id (or the folder named by the
    // environment variable QRX_SERIAL_BY_ID, so a simulator's pty can stand in for an adapter).
    static Machine thisMachine();

    PortAssignments(int comCount, Machine machine);

    // Reads the current paths of Com 1 to comCount from the settings store and looks for ports.
    void load();
    int comCount() const { return m_comCount; }
    QString path(int com) const;
    void setPath(int com, const QString &path);

    const std::vector<Choice> &choices() const { return m_choices; }
    Presence presence(const QString &path) const;
    // What the dialog shows beside a path: the port's details, "missing", or how to get access.
    QString note(const QString &path) const;
    static QString permissionHint(const QString &path);

    // Writes the changed paths into section [Ports]; an emptied path returns to the default.
    void store() const;

private:
    QString resolved(const QString &path) const;

    int m_comCount;
    Machine m_machine;
    std::vector<QString> m_stored; // as read by load(), index com - 1
    std::vector<QString> m_paths; // as edited
    std::vector<Choice> m_choices;
};
