// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

#include "link/devicestate.h"
#include "params/configreader.h"
#include "params/setupcomparison.h"
#include "params/setupmodel.h"
#include "transfer/setupflow.h"

struct AppContext;
struct DeviceFamily;
class LinkEngine;
class StderrDialogs;

// The command-line programmer: Read Setup, Download Setup, a comparison and the frequency poll
// over the same sequences, records and texts as the windows, without a display.
class QrxCli final
{
public:
    // Communication: no answer or no port; Refused: the device answered with an error reply;
    // Crashed: a unit's own program ended abnormally; Interrupted: stopped by SIGINT or SIGTERM.
    enum Status {
        Success = 0,
        Differences = 1,
        UsageOrFile = 2,
        Communication = 3,
        Refused = 4,
        Crashed = 5,
        Interrupted = 130
    };

    struct Options
    {
        QString command; // read, download, compare, poll, check, diff, sheet
        QString file;
        QString second; // diff: the other data file; sheet: the PDF
        QString port; // a device path or "Com n"; empty for the remembered port
        QString family; // empty for the build's family
        QString config; // empty for the window's choice
        bool json = false;
        bool verify = false;
        bool skipCorrupt = false;
        int count = -1; // polls; -1 until interrupted
        bool csv = false; // poll: the trend window's CSV rows
        QString backup; // download: the folder the device's setup is read into first
        QString log; // JSON Lines file that gets this unit's record
        QString unitRecord; // the record again, alone, for the run that started this one
    };

    explicit QrxCli(StderrDialogs &dialogs);
    ~QrxCli();

    int run(const Options &options);

    // "Com 3", "COM3" -> 3; 0 when the text is not of that form.
    static int comNumber(const QString &port);
    // The first line is the data file's header (spaces around it allowed).
    static bool hasHeader(const QByteArray &bytes);
    // A setup data file's bytes; nothing, after telling why, when it cannot be read or lacks the
    // header line (the window loads any text, but such a file is no saved setup).
    static std::optional<QByteArray> readSetupFile(const QString &path, StderrDialogs &dialogs);
    // The file's entries into the model as Open puts them into a window; Success, or UsageOrFile
    // after telling why.
    static int loadSetup(const QByteArray &bytes, SetupModel &model, StderrDialogs &dialogs);

    // Whether the command talks to a device (and so leaves a unit's record).
    static bool onDevice(const QString &command);

private:
    int runCommand(const Options &options);
    void writeRecord(const Options &options, int status);
    void onInterrupted(const Options &options);
    int setUp(const Options &options);
    int read(const Options &options);
    int download(const Options &options);
    int compare(const Options &options);
    int poll(const Options &options);
    int diff(const Options &options);

    int loadFile(const QString &path, SetupModel &model);
    // The flow with the terminal's progress and the port's error watch added to the hooks.
    SetupFlow flow(SetupFlow::Hooks hooks = {});
    int status(const SetupFlow::Result &result) const;
    int refusedOrLost() const; // the status of a failed exchange
    SetupModel emptySetup() const; // the family's setup with the configured lists

    StderrDialogs &m_dialogs;
    const DeviceFamily *m_family = nullptr;
    DeviceState m_state;
    ConfigReadResult m_config;
    bool m_progressShown = false; // a sequence's exchanges are running
    QDateTime m_started;
    QElapsedTimer m_clock;
    QString m_deviceVersion;
    QByteArray m_fileBytes; // as read, or as written by read
    std::optional<std::vector<SetupComparison::Row>> m_differences;
    bool m_recordLost = false; // the log would not take the record
    std::unique_ptr<LinkEngine> m_link;
    std::unique_ptr<AppContext> m_context;
    QString m_portName; // as the setup history names it
    class Port;
    std::unique_ptr<Port> m_port;
};
