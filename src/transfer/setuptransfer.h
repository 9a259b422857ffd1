// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>
#include <QPointer>

#include "link/appcontext.h"
#include "transfer/frmprogress.h"
#include "transfer/setupflow.h"

class QAction;
class QLineEdit;
class QPushButton;
class SetupModel;
class SetupModel;
struct DeviceFamily;

// Read Setup and Download Setup under the progress window.
class SetupTransfer final : public QObject
{
    Q_OBJECT

public:
    // What a transfer needs of its main window and device family; each family's window gives its own.
    struct Host
    {
        QWidget *mainWindow = nullptr; // owner of the progress window
        std::vector<QPushButton *> buttons; // Read Setup and Download Setup
        std::vector<QAction *> commands; // unavailable while a transfer runs
        SetupModel *setup = nullptr; // the window's setup
        std::function<QWidget *()> linearPointsWindow;
        std::function<void()> mnuClear_Click;
        std::function<void(const QString &)> setStatusText;
        std::function<void()> CheckDeviceVersion;
        std::function<bool()> CheckMissingFields;
        // Told each setup that went through the link: a read or a download that succeeded (the
        // setup sent), and a backup once it is read. Optional.
        std::function<void(SetupFlow::Step, const SetupModel &)> transferred;
        std::function<bool()> backUpBeforeDownload; // optional: true reads the device first
    };

    // Where the last Read Setup took the window's setup from.
    struct ReadOrigin
    {
        QString port; // "Com 1 (/dev/ttyUSB0)"
        QString deviceVersion; // the answer to "V"; empty when the check gave none
    };

    SetupTransfer(Host host, AppContext &context, QObject *parent);
    ~SetupTransfer() override;

    void btnRead_Click();
    void btnDownload_Click();
    // Reads the device into a setup of its own and shows it beside the window's; nothing in the
    // window changes.
    void mnuCompare_Click();
    // The same for another setup, a kept one for instance.
    void compareSetup(const SetupModel &setup, const QString &heading = QStringLiteral("Window"));
    // A setup apart from the window's: codes, limits and list entries as the window's, every value
    // cleared.
    std::unique_ptr<SetupModel> emptySetup() const;

    frmProgress *progressWindow() const { return m_progress; }
    const SetupModel &setup() const { return *m_host.setup; }

    // Kept from a successful Read Setup until the window's setup is cleared (by Clear all Data,
    // Open or the next Read Setup).
    const std::optional<ReadOrigin> &lastRead() const { return m_lastRead; }
    void forgetRead() { m_lastRead.reset(); }

    // The hooks of the setup history, set after the window's controllers exist.
    void setTransferred(std::function<void(SetupFlow::Step, const SetupModel &)> hook)
    {
        m_host.transferred = std::move(hook);
    }
    void setBackUpBeforeDownload(std::function<bool()> hook)
    {
        m_host.backUpBeforeDownload = std::move(hook);
    }
    void setReadStarting(std::function<void()> hook) { m_readStarting = std::move(hook); }

private:
    class Running;

    void setPercent(const QString &text);
    SetupFlow flow(std::function<bool()> checkMissing = {});
    void tell(SetupFlow::Step step, const SetupModel &setup) const;
    void offerBackup(SetupModel &backup);

    Host m_host;
    AppContext &m_context;
    QPointer<frmProgress> m_progress;
    std::function<void()> m_readStarting;
    std::optional<ReadOrigin> m_lastRead;
    QString m_versionSeen; // the device's answer to the last version check
};
