// SPDX-License-Identifier: GPL-3.0-or-later
#include "setuptransfer.h"

#include <exception>
#include <vector>

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>

#include "linear/frmlinearpoints.h"
#include "link/devicestate.h"
#include "link/userdialogs.h"
#include "params/devicefamily.h"
#include "params/setupcomparison.h"
#include "params/setupmodel.h"
#include "transfer/downloadsequence.h"
#include "transfer/frmcompare.h"
#include "transfer/frmprogress.h"
#include "transfer/readsequence.h"

using Icon = UserDialogs::Icon;

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

void SetupTransfer::endTransfer()
{
    m_context.state.CommAbort = false;
    if (m_progress)
        m_progress->finish();
}

void SetupTransfer::btnRead_Click()
{
    DeviceState &s = m_context.state;
    Running running(*this);
    s.CommAbort = false;
    // Hidden or shown, the window is closed through its unload, which checks the rows first.
    if (auto *points = qobject_cast<frmLinearPoints *>(m_host.linearPointsWindow()))
        points->Form_Unload();
    m_host.mnuClear_Click();
    m_host.setStatusText(QStringLiteral("Status:  Reading"));
    setPercent(QStringLiteral("0%"));
    if (m_progress)
        m_progress->showFor(QStringLiteral("Reading Setup Parameters..."));

    ReadSequence read(m_context, *m_host.family, s, *m_host.view);
    read.setProgress([this](const QString &text) { setPercent(text); });
    read.setVersionCheck(m_host.CheckDeviceVersion);
    if (!read.run()) {
        m_host.mnuClear_Click();
        m_host.setStatusText(QStringLiteral("Status:  Unable to perform Read"));
        m_context.dialogs.message(QStringLiteral("Unable to perform Read!"), Icon::Critical);
    } else {
        setPercent(QStringLiteral("100%"));
        m_host.setStatusText(QStringLiteral("Status:  Read Successful"));
        m_context.dialogs.message(QStringLiteral("Read Successful"));
    }
    endTransfer();
}

void SetupTransfer::btnDownload_Click()
{
    DeviceState &s = m_context.state;
    Running running(*this);
    try {
        s.CommAbort = false;
        if (!m_host.CheckMissingFields()) {
            m_context.dialogs.message(QStringLiteral("Plese enter missing information"), Icon::Exclamation);
            return;
        }
        m_host.setStatusText(QStringLiteral("Status:  Programming"));
        setPercent(QStringLiteral("0%"));
        if (m_progress)
            m_progress->showFor(QStringLiteral("Downloading Setup Parameters..."));
        DownloadSequence download(m_context, *m_host.family, s, *m_host.view);
        download.setProgress([this](const QString &text) { setPercent(text); });
        download.setVersionCheck(m_host.CheckDeviceVersion);
        const bool ok = download.run();
        m_host.setStatusText(QStringLiteral("Status:  Complete"));
        if (!ok) {
            setPercent(QStringLiteral("0%"));
            m_context.dialogs.message(QStringLiteral("Unable to complete Download!"), Icon::Critical);
        } else {
            m_context.dialogs.message(QStringLiteral("Programming Successful"));
        }
        endTransfer();
    } catch (const std::exception &) {
        // Nothing more is sent; the window is tidied up as after a normal end.
        m_context.dialogs.message(QStringLiteral("Download Error"), Icon::Critical);
        endTransfer();
    }
}

void SetupTransfer::mnuCompare_Click()
{
    DeviceState &s = m_context.state;
    Running running(*this);
    s.CommAbort = false;

    // Codes, limits and list entries as the window has them; values only from the device.
    const DeviceFamily &family = *m_host.family;
    SetupModel device(family, s);
    for (const Parameter &p : family.parameters.rows()) {
        if (p.kind != Parameter::Kind::List)
            continue;
        QStringList entries;
        if (const auto *list = m_host.mainWindow->findChild<QComboBox *>(p.controlName())) {
            for (int i = 0; i < list->count(); ++i)
                entries << list->itemText(i);
        }
        device.setListEntries(p, entries);
    }

    setPercent(QStringLiteral("0%"));
    if (m_progress)
        m_progress->showFor(QStringLiteral("Reading Setup Parameters..."));
    ReadSequence read(m_context, family, device.records(), device);
    read.setProgress([this](const QString &text) { setPercent(text); });
    read.setVersionCheck(m_host.CheckDeviceVersion);
    const bool ok = read.run();
    endTransfer();
    if (!ok) {
        m_host.setStatusText(QStringLiteral("Status:  Unable to perform Read"));
        m_context.dialogs.message(QStringLiteral("Unable to perform Read!"), Icon::Critical);
        return;
    }
    const auto rows = SetupComparison::compare(family, { *m_host.view, s }, { device, device.records() });
    auto *table = new frmCompare(rows, m_host.mainWindow);
    table->open();
}
