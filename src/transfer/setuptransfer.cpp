// SPDX-License-Identifier: GPL-3.0-or-later
#include "setuptransfer.h"

#include <vector>

#include <QAction>
#include <QMenu>
#include <QPushButton>

#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/userdialogs.h"
#include "params/devicefamily.h"
#include "params/setupmodel.h"
#include "transfer/frmcompare.h"
#include "transfer/frmprogress.h"
#include "transfer/setupflow.h"

// For the duration of a transfer: both transfer buttons off, and every command that talks to
// the device or changes the setup off too, so nothing can interleave with the sequence.
class SetupTransfer::Running final
{
public:
    explicit Running(SetupTransfer &owner)
        : m_state(owner.m_context.state)
    {
        for (QPushButton *b : owner.m_host.buttons) {
            if (b)
                b->setEnabled(false);
            m_buttons.push_back(b);
        }
        for (QAction *a : owner.m_host.commands) {
            if (a && a->isEnabled()) {
                a->setEnabled(false);
                m_disabled.push_back(a);
            }
        }
        m_state.TransferRunning = true;
    }

    ~Running()
    {
        m_state.TransferRunning = false;
        for (QAction *a : m_disabled) {
            if (a)
                a->setEnabled(true);
        }
        for (QPushButton *b : m_buttons) {
            if (b)
                b->setEnabled(true);
        }
    }

private:
    DeviceState &m_state;
    std::vector<QPointer<QPushButton>> m_buttons;
    std::vector<QPointer<QAction>> m_disabled;
};

SetupTransfer::SetupTransfer(Host host, AppContext &context, QObject *parent)
    : QObject(parent)
    , m_host(std::move(host))
    , m_context(context)
    , m_progress(new frmProgress(context.state, m_host.mainWindow))
{
}

SetupTransfer::~SetupTransfer() = default;

void SetupTransfer::setPercent(const QString &text)
{
    if (m_progress)
        m_progress->setPercent(text);
}

SetupFlow SetupTransfer::flow(std::function<bool()> checkMissing)
{
    SetupFlow::Hooks hooks;
    hooks.readStarting = [this] {
        if (m_readStarting)
            m_readStarting();
        // Hidden or shown, the window is closed through its unload, which checks the rows first.
        if (auto *points = qobject_cast<frmLinearPoints *>(m_host.linearPointsWindow()))
            points->Form_Unload();
    };
    hooks.mnuClear_Click = m_host.mnuClear_Click;
    hooks.setStatusText = m_host.setStatusText;
    hooks.sequenceStarting = [this](const QString &caption) {
        setPercent(QStringLiteral("0%"));
        if (m_progress)
            m_progress->showFor(caption);
    };
    hooks.setPercent = [this](const QString &text) { setPercent(text); };
    hooks.finished = [this] {
        if (m_progress)
            m_progress->finish();
    };
    if (m_host.CheckDeviceVersion) {
        hooks.CheckDeviceVersion = [this] {
            m_versionSeen.clear();
            m_host.CheckDeviceVersion();
            if (!m_context.state.CommAbort)
                m_versionSeen = m_context.state.ReplyValue;
        };
    }
    hooks.CheckMissingFields = checkMissing ? std::move(checkMissing) : m_host.CheckMissingFields;
    return SetupFlow(m_context, std::move(hooks));
}

void SetupTransfer::tell(SetupFlow::Step step, const SetupModel &setup) const
{
    if (m_host.transferred)
        m_host.transferred(step, setup);
}

void SetupTransfer::btnRead_Click()
{
    Running running(*this);
    m_versionSeen.clear();
    if (!flow().read(*m_host.setup).succeeded())
        return;
    QString port;
    if (m_context.link)
        port
            = QStringLiteral("Com %1 (%2)").arg(m_context.link->portNumber()).arg(m_context.link->portPath());
    m_lastRead = ReadOrigin { port, m_versionSeen };
    tell(SetupFlow::Step::Read, *m_host.setup);
}

void SetupTransfer::btnDownload_Click()
{
    Running running(*this);
    if (!m_host.backUpBeforeDownload || !m_host.backUpBeforeDownload()) {
        if (flow().download(*m_host.setup).succeeded())
            tell(SetupFlow::Step::Download, *m_host.setup);
        return;
    }
    const std::unique_ptr<SetupModel> backup = emptySetup();
    const SetupFlow::Result result
        = flow().backedUpDownload(*m_host.setup, *backup, [this](const SetupModel &b) {
              tell(SetupFlow::Step::Backup, b);
              return true;
          });
    if (result.succeeded())
        tell(SetupFlow::Step::Download, *m_host.setup);
    else if (result.step == SetupFlow::Step::Download && result.sent > 0)
        offerBackup(*backup);
}

// The device may hold part of the new setup; what it held before is one download away.
void SetupTransfer::offerBackup(SetupModel &backup)
{
    const auto answer
        = m_context.dialogs.message(QStringLiteral("The device may now hold part of the new setup.\n\n"
                                                   "Download the backup read before this download?"),
            UserDialogs::Icon::Question, UserDialogs::defaultTitle(), UserDialogs::Buttons::YesNo);
    if (answer != UserDialogs::Answer::Yes)
        return;
    if (flow([&backup] { return backup.missing().isEmpty(); }).download(backup).succeeded())
        tell(SetupFlow::Step::Download, backup);
}

std::unique_ptr<SetupModel> SetupTransfer::emptySetup() const
{
    // Codes, limits and list entries as the window has them; values only from the device.
    const DeviceFamily &family = m_host.setup->family();
    auto setup = std::make_unique<SetupModel>(family, m_context.state);
    for (const Parameter &p : family.parameters.rows()) {
        if (p.kind == Parameter::Kind::List)
            setup->setListEntries(p, m_host.setup->listEntries(p));
    }
    return setup;
}

void SetupTransfer::mnuCompare_Click()
{
    compareSetup(*m_host.setup);
}

void SetupTransfer::compareSetup(const SetupModel &setup, const QString &heading)
{
    Running running(*this);
    const std::unique_ptr<SetupModel> device = emptySetup();
    const SetupFlow::Result result = flow().compare(setup, *device);
    if (!result.succeeded())
        return;
    auto *table = new frmCompare(result.rows, m_host.mainWindow, heading);
    table->open();
}
