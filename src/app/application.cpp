// SPDX-License-Identifier: GPL-3.0-or-later
#include "application.h"

#include "app/frmaltmain.h"
#include "app/frmsplash.h"
#include "app/qtuserdialogs.h"
#include "app/settingsstore.h"
#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "monitor/frmlinemonitor.h"
#include "mr/frmmr.h"
#include "params/devicefamily.h"

Application::Application(const DeviceFamily &family, UserDialogs *dialogs, QObject *parent)
    : QObject(parent)
    , m_state(std::make_unique<DeviceState>())
{
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtUserDialogs>();
        dialogs = m_ownDialogs.get();
    }
    m_dialogs = dialogs;

    auto *port = new SerialDevicePort;
    auto *timer = new QtReplyTimer(500);
    m_link = new LinkEngine(*m_state, *port, *timer, *m_dialogs, this);
    m_link->setPortResolver(&SettingsStore::portPath);
    m_context = std::make_unique<AppContext>(AppContext { *m_state, m_link, *m_dialogs, family });

    // The line monitor carries the port and the reply timer, hidden until the user opens it.
    m_monitor = new frmLineMonitor(*m_context);
    port->setParent(m_monitor);
    timer->setParent(m_monitor);
    m_link->setEcho(m_monitor);
}

Application::~Application()
{
    // The link goes first: it refers to the port and timer the monitor owns.
    delete m_link;
    m_link = nullptr;
    delete m_splash;
    delete m_mainWindow;
    delete m_monitor;
}

void Application::Main()
{
    // Each family has its own main window; the two families are the only values there are.
    if (&m_context->family == &DeviceFamily::mr()) {
        auto *window = new frmMR(*m_context);
        connect(window, &frmMR::closed, this, &Application::finished);
        window->setLineMonitorWindow(m_monitor);
        m_mainWindow = window;
    } else {
        auto *window = new frmAltMain(*m_context);
        connect(window, &frmAltMain::closed, this, &Application::finished);
        window->setLineMonitorWindow(m_monitor);
        m_mainWindow = window;
    }
    if (m_ownDialogs)
        m_ownDialogs->setParentWidget(m_mainWindow);

    m_splash = new frmSplash;
    m_splash->setMainWindow(m_mainWindow);
    if (auto *window = qobject_cast<frmAltMain *>(m_mainWindow))
        window->setSplash(m_splash);
    if (auto *window = qobject_cast<frmMR *>(m_mainWindow))
        window->setSplashWindow(m_splash);
    m_splash->showSplash();
}
