// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QString>

#include "params/setupcomparison.h"

struct AppContext;
class SetupModel;
class SetupModel;

// Read Setup, Download Setup (with or without a read that verifies it) and Compare with Device,
// each from its first step to its last message. The main windows and the command line run the
// same flow; what only one of them has (a status bar, a progress window) it tells through hooks.
class SetupFlow final
{
public:
    enum class Outcome {
        Succeeded,
        Missing, // required entries are empty: nothing was sent
        Failed, // an exchange failed; the link's state tells how
        Error, // a run-time error stopped the download; nothing more was sent
        NotKept, // read, but keepRead refused it
    };
    // The sequence the outcome belongs to: a verified download that fails in its read says Verify,
    // one whose backup read fails says Backup.
    enum class Step { Read, Download, Verify, Backup };

    struct Result
    {
        Outcome outcome = Outcome::Failed;
        Step step = Step::Read;
        double seconds = 0.0; // time on the link of the command's first sequence
        std::vector<SetupComparison::Row> rows; // compare and verify: every row, differing or not
        int sent = 0; // download: item and store commands transmitted, so the device may hold them

        bool succeeded() const { return outcome == Outcome::Succeeded; }
    };

    struct Hooks
    {
        std::function<void()> readStarting; // before Read Setup clears the setup
        std::function<void()> mnuClear_Click;
        std::function<void(const QString &)> setStatusText;
        std::function<void(const QString &caption)> sequenceStarting;
        std::function<void(const QString &percent)> setPercent;
        std::function<void()> sequenceEnded; // the exchanges are over; messages follow
        std::function<void()> finished; // the progress window may go
        std::function<void()> CheckDeviceVersion; // empty: "V" is asked for directly
        std::function<bool()> CheckMissingFields; // true when nothing required is missing
        // After a successful Read Setup and before its message: false withholds the success
        // (the command line could not save what it read).
        std::function<bool(const Result &)> keepRead;
    };

    SetupFlow(AppContext &context, Hooks hooks);

    // Read Setup into the setup.
    Result read(SetupModel &setup);
    // Download Setup from the setup; with verify, then reads the device into it and compares.
    Result download(SetupModel &setup, SetupModel *verify = nullptr);
    // Download Setup that first reads the device's whole setup into backup, untouched on screen,
    // and hands it to keepBackup (false stops with NotKept); a failed backup read sends no write.
    Result backedUpDownload(SetupModel &setup, SetupModel &backup,
        const std::function<bool(const SetupModel &)> &keepBackup, SetupModel *verify = nullptr);
    static QString backupFailedText()
    {
        return QStringLiteral("Download cancelled: the device could not be backed up");
    }
    // Reads the device into a setup of its own (its list entries as the caller gives them) and
    // compares it with the left side, which does not change.
    Result compare(const SetupModel &left, SetupModel &device);

private:
    bool readDevice(SetupModel &device, double *seconds, bool tellFailure = true);
    bool fieldsComplete(Result &result) const;
    void runDownload(SetupModel &setup, SetupModel *verify, Result &result);
    void call(const std::function<void()> &hook) const;
    void setStatusText(const QString &text) const;
    void setPercent(const QString &text) const;
    void finish() const;
    void tellReadFailed() const;

    AppContext &m_context;
    Hooks m_hooks;
};
