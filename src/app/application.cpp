#include "application.h"

#include <QMessageBox>

#include "app/frmaltmain.h"
#include "app/frmsplash.h"
#include "app/qtuserdialogs.h"
#include "link/devicestate.h"

Application::Application(UserDialogs *dialogs, QObject *parent)
    : QObject(parent)
    , m_state(std::make_unique<DeviceState>())
{
    if (!dialogs) {
        m_ownDialogs = std::make_unique<QtUserDialogs>();
        dialogs = m_ownDialogs.get();
    }
    m_dialogs = dialogs;
}

Application::~Application()
{
    delete m_splash;
    delete m_mainWindow;
}

void Application::Main(const QString &DeviceFamily)
{
    AppContext context{*m_state, m_link, *m_dialogs, DeviceFamily};
    if (DeviceFamily == QLatin1String("Dravion")) {
        auto *window = new frmAltMain(context);
        connect(window, &frmAltMain::closed, this, &Application::finished);
        m_mainWindow = window;
    } else {
        return; // the MR window arrives with its family
    }
    if (m_ownDialogs)
        m_ownDialogs->setParentWidget(m_mainWindow);

    m_splash = new frmSplash;
    m_splash->setMainWindow(m_mainWindow);
    if (auto *window = qobject_cast<frmAltMain *>(m_mainWindow))
        window->setSplash(m_splash);
    m_splash->showSplash();
}
