// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QObject>

struct AppContext;
struct DeviceFamily;
class DeviceState;
class LinkEngine;
class QtUserDialogs;
class QMainWindow;
class UserDialogs;
class frmSplash;
class frmLineMonitor;

// Owns what lives as long as the program: the device state, the dialog door, the link and the windows.
class Application final : public QObject
{
    Q_OBJECT

public:
    // Uses real message boxes unless the caller hands in its own dialogs (tests). The family is
    // known from the start, as the line monitor names it in its saved traffic.
    explicit Application(
        const DeviceFamily &family, UserDialogs *dialogs = nullptr, QObject *parent = nullptr);
    ~Application() override;

    // Start-up: the family's main window is created hidden (its load runs), then the splash shows;
    // the splash's timer shows the main window.
    void Main();

    DeviceState &state() { return *m_state; }
    LinkEngine *link() { return m_link; }
    QMainWindow *mainWindow() { return m_mainWindow; }
    frmSplash *splash() { return m_splash; }
    frmLineMonitor *lineMonitor() { return m_monitor; }

Q_SIGNALS:
    void finished();

private:
    std::unique_ptr<DeviceState> m_state;
    std::unique_ptr<AppContext> m_context;
    std::unique_ptr<QtUserDialogs> m_ownDialogs;
    UserDialogs *m_dialogs = nullptr;
    LinkEngine *m_link = nullptr;
    QMainWindow *m_mainWindow = nullptr;
    frmSplash *m_splash = nullptr;
    frmLineMonitor *m_monitor = nullptr;
};
