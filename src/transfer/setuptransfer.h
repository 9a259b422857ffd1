// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QPointer>

#include "link/appcontext.h"
#include "transfer/frmprogress.h"
#include "transfer/setupflow.h"

class QAction;
class QLineEdit;
class QPushButton;
class SetupView;
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
        const DeviceFamily *family = nullptr;
        std::shared_ptr<SetupView> view; // the window's fields as the sequences see them
        std::function<QWidget *()> linearPointsWindow;
        std::function<void()> mnuClear_Click;
        std::function<void(const QString &)> setStatusText;
        std::function<void()> CheckDeviceVersion;
        std::function<bool()> CheckMissingFields;
    };

    SetupTransfer(Host host, AppContext &context, QObject *parent);
    ~SetupTransfer() override;

    void btnRead_Click();
    void btnDownload_Click();
    // Reads the device into a setup of its own and shows it beside the window's; nothing in the
    // window changes.
    void mnuCompare_Click();

    frmProgress *progressWindow() const { return m_progress; }

private:
    class Running;

    void setPercent(const QString &text);
    SetupFlow flow();

    Host m_host;
    AppContext &m_context;
    QPointer<frmProgress> m_progress;
};
