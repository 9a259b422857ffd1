// SPDX-License-Identifier: GPL-3.0-or-later
#include "setupflow.h"

#include <QElapsedTimer>

#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/userdialogs.h"
#include "params/setupmodel.h"
#include "transfer/downloadsequence.h"
#include "transfer/readsequence.h"

using Icon = UserDialogs::Icon;

namespace {

const QString readingCaption = QStringLiteral("Reading Setup Parameters...");

template <typename Sequence> auto runTimed(Sequence &sequence, double *seconds)
{
    QElapsedTimer clock;
    clock.start();
    const auto ending = sequence.run();
    if (seconds)
        *seconds = double(clock.nsecsElapsed()) / 1e9;
    return ending;
}

} // namespace

SetupFlow::SetupFlow(AppContext &context, Hooks hooks)
    : m_context(context)
    , m_hooks(std::move(hooks))
{
}

void SetupFlow::call(const std::function<void()> &hook) const
{
    if (hook)
        hook();
}

void SetupFlow::setStatusText(const QString &text) const
{
    if (m_hooks.setStatusText)
        m_hooks.setStatusText(text);
}

void SetupFlow::setPercent(const QString &text) const
{
    if (m_hooks.setPercent)
        m_hooks.setPercent(text);
}

void SetupFlow::tellReadFailed() const
{
    setStatusText(QStringLiteral("Status:  Unable to perform Read"));
    m_context.dialogs.message(QStringLiteral("Unable to perform Read!"), Icon::Critical);
}

void SetupFlow::finish() const
{
    m_context.state.CommAbort = false;
    call(m_hooks.finished);
}

SetupFlow::Result SetupFlow::read(SetupModel &setup)
{
    Result result;
    result.step = Step::Read;
    m_context.state.CommAbort = false;
    call(m_hooks.readStarting);
    call(m_hooks.mnuClear_Click);
    setStatusText(QStringLiteral("Status:  Reading"));
    if (m_hooks.sequenceStarting)
        m_hooks.sequenceStarting(readingCaption);

    ReadSequence sequence(m_context, setup);
    sequence.setProgress(m_hooks.setPercent);
    sequence.setVersionCheck(m_hooks.CheckDeviceVersion);
    const bool ok = runTimed(sequence, &result.seconds);
    call(m_hooks.sequenceEnded);
    if (!ok) {
        call(m_hooks.mnuClear_Click);
        tellReadFailed();
    } else if (m_hooks.keepRead && !m_hooks.keepRead(result)) {
        result.outcome = Outcome::NotKept;
    } else {
        setPercent(QStringLiteral("100%"));
        setStatusText(QStringLiteral("Status:  Read Successful"));
        m_context.dialogs.message(QStringLiteral("Read Successful"));
        result.outcome = Outcome::Succeeded;
    }
    finish();
    return result;
}

bool SetupFlow::fieldsComplete(Result &result) const
{
    if (m_hooks.CheckMissingFields && !m_hooks.CheckMissingFields()) {
        m_context.dialogs.message(QStringLiteral("Plese enter missing information"), Icon::Exclamation);
        result.outcome = Outcome::Missing;
        return false;
    }
    return true;
}

SetupFlow::Result SetupFlow::download(SetupModel &setup, SetupModel *verify)
{
    Result result;
    result.step = Step::Download;
    m_context.state.CommAbort = false;
    if (fieldsComplete(result))
        runDownload(setup, verify, result);
    return result;
}

SetupFlow::Result SetupFlow::backedUpDownload(SetupModel &setup, SetupModel &backup,
    const std::function<bool(const SetupModel &)> &keepBackup, SetupModel *verify)
{
    Result result;
    result.step = Step::Backup;
    m_context.state.CommAbort = false;
    if (!fieldsComplete(result))
        return result;
    // The link's own messages have told why the read failed; the download is not started.
    if (!readDevice(backup, nullptr, false)) {
        setStatusText(QStringLiteral("Status:  Download cancelled"));
        m_context.dialogs.message(backupFailedText(), Icon::Critical);
        return result;
    }
    if (keepBackup && !keepBackup(backup)) {
        result.outcome = Outcome::NotKept;
        return result;
    }
    result.step = Step::Download;
    runDownload(setup, verify, result);
    return result;
}

void SetupFlow::runDownload(SetupModel &setup, SetupModel *verify, Result &result)
{
    result.outcome = Outcome::Failed;
    setStatusText(QStringLiteral("Status:  Programming"));
    if (m_hooks.sequenceStarting)
        m_hooks.sequenceStarting(QStringLiteral("Downloading Setup Parameters..."));
    DownloadSequence sequence(m_context, setup);
    sequence.setProgress(m_hooks.setPercent);
    sequence.setVersionCheck(m_hooks.CheckDeviceVersion);
    const DownloadSequence::Ending ending = runTimed(sequence, &result.seconds);
    if (ending == DownloadSequence::Ending::RunError) {
        // Nothing more is sent; the window is tidied up as after a normal end.
        result.sent = sequence.sent();
        call(m_hooks.sequenceEnded);
        m_context.dialogs.message(QStringLiteral("Download Error"), Icon::Critical);
        finish();
        result.outcome = Outcome::Error;
        return;
    }
    result.sent = sequence.sent();
    call(m_hooks.sequenceEnded);
    setStatusText(QStringLiteral("Status:  Complete"));
    if (ending == DownloadSequence::Ending::Failed) {
        setPercent(QStringLiteral("0%"));
        m_context.dialogs.message(QStringLiteral("Unable to complete Download!"), Icon::Critical);
        finish();
        return;
    }
    m_context.dialogs.message(QStringLiteral("Programming Successful"));
    finish();
    if (!verify) {
        result.outcome = Outcome::Succeeded;
        return;
    }
    result.step = Step::Verify;
    if (!readDevice(*verify, nullptr))
        return;
    result.rows = SetupComparison::compare(setup, *verify);
    result.outcome = Outcome::Succeeded;
}

SetupFlow::Result SetupFlow::compare(const SetupModel &left, SetupModel &device)
{
    Result result;
    result.step = Step::Read;
    if (!readDevice(device, &result.seconds))
        return result;
    result.rows = SetupComparison::compare(left, device);
    result.outcome = Outcome::Succeeded;
    return result;
}

bool SetupFlow::readDevice(SetupModel &device, double *seconds, bool tellFailure)
{
    m_context.state.CommAbort = false;
    if (m_hooks.sequenceStarting)
        m_hooks.sequenceStarting(readingCaption);
    ReadSequence sequence(m_context, device);
    sequence.setProgress(m_hooks.setPercent);
    sequence.setVersionCheck(m_hooks.CheckDeviceVersion);
    const bool ok = runTimed(sequence, seconds);
    call(m_hooks.sequenceEnded);
    // The progress window goes before the message: nothing of the window's setup was touched.
    finish();
    if (!ok && tellFailure)
        tellReadFailed();
    return ok;
}
