#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include "app/frmaltmain.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "params/dravionfields.h"
#include "rigsupport.h"
#include "simulateddevice.h"
#include "fakeuserdialogs.h"
#include "transfer/frmprogress.h"
#include "transfer/setuptransfer.h"

// The main window on a real port against a simulated device on a pty. The device starts from the
// given item values and the shipped configuration, whose lines configEdit replaces by label.
struct TransferRig
{
    QTemporaryDir dir;
    QString configFolder = dir.filePath(QStringLiteral("config"));
    SimOptions options;
    std::unique_ptr<SimulatedDevice> device;
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer { 500 };
    FakeUserDialogs dialogs;
    std::unique_ptr<LinkEngine> link;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmAltMain> window;
    QStringList percents; // every new text of the progress window's percentage
    QString error;

    explicit TransferRig(const std::map<int, double> &deviceValues = {}, const QStringList &configEdit = {})
    {
        QFile shipped(QStringLiteral(QRX_CONFIG_DIR "/dravion/ConfigK.inf"));
        shipped.open(QIODevice::ReadOnly);
        QStringList lines = QString::fromLatin1(shipped.readAll()).split(QLatin1Char('\n'));
        for (const QString &edit : configEdit) {
            for (QString &line : lines) {
                if (line.section(QLatin1Char('='), 0, 0) == edit.section(QLatin1Char('='), 0, 0))
                    line = edit;
            }
        }
        QDir().mkpath(configFolder);
        options.configPath = configFolder + QStringLiteral("/ConfigK.inf");
        options.statePath = dir.filePath(QStringLiteral("device.ini"));
        options.pacing = false;
        writeFile(options.configPath, lines.join(QLatin1Char('\n')).toLatin1());
        QByteArray values;
        for (const auto &[code, value] : deviceValues)
            values += QByteArray::number(code) + '=' + QByteArray::number(value) + '\n';
        writeFile(options.statePath, values);
    }

    // Starts the device and builds the window; false (with the reason in error) when the pty fails.
    bool start()
    {
        device = std::make_unique<SimulatedDevice>(options);
        if (!device->start(&error))
            return false;
        startWindow([path = device->path()] { return path; });
        return true;
    }

    // Builds the window on a port found where portPath() says at each opening.
    void startWindow(std::function<QString()> portPath)
    {
        link = std::make_unique<LinkEngine>(state, port, timer, dialogs);
        link->setPortResolver([portPath](int) { return portPath(); });
        context = std::make_unique<AppContext>(AppContext { state, link.get(), dialogs });
        window = std::make_unique<frmAltMain>(*context);
        for (QComboBox *list : { c().cboRateUnits, c().cboRateInterval, c().cboKfactorUnits })
            list->clear(); // the rig's configuration replaces the one of the program's folder
        window->fields().loadConfigurationFrom(configFolder);
        dialogs.clear();
        QObject::connect(
            progress(), &frmProgress::percentChanged, [this](const QString &t) { percents << t; });
    }

    AltMainControls &c() { return window->controls(); }
    frmProgress *progress() { return window->transfer().progressWindow(); }
    QStringList received() const { return device->received(); }
};

// What the window shows of a setup, field by field, with the points in use.
inline QStringList snapshot(TransferRig &rig)
{
    AltMainControls &c = rig.c();
    QStringList out { c.cboRateUnits->currentText(), c.cboRateInterval->currentText(),
        c.cboKfactorUnits->currentText() };
    for (QLineEdit *field :
        { c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg })
        out << field->objectName() + QLatin1Char('=') + field->text();
    for (int i = 0; i < rig.state.LinearPtsItem.value; ++i)
        out << QStringLiteral("pt%1=%2/%3")
                   .arg(i)
                   .arg(rig.state.LinFreqItems[i].value)
                   .arg(rig.state.LinFlowItems[i].value);
    return out;
}
