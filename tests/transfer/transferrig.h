#pragma once

#include <functional>
#include <map>
#include <memory>
#include <ostream>

#include <QComboBox>
#include <QDir>
#include <QFile>
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
#include "simulateddevice.h"
#include "support/fakeuserdialogs.h"
#include "transfer/frmprogress.h"
#include "transfer/setuptransfer.h"

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// The utility as it runs, its main window on a real port, against a simulated device on a pty.
// The device starts from the given item values and the shipped configuration (or a variant).
struct TransferRig
{
    QTemporaryDir dir;
    QString configFolder;
    SimOptions options;
    std::unique_ptr<SimulatedDevice> device;
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer{500};
    FakeUserDialogs dialogs;
    std::unique_ptr<LinkEngine> link;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmAltMain> window;
    QStringList percents; // every new text the progress window's percentage took

    // configEdit: lines that replace the shipped configuration's lines of the same label.
    explicit TransferRig(const std::map<int, double> &deviceValues = {}, const QStringList &configEdit = {})
    {
        configFolder = dir.filePath(QStringLiteral("config"));
        QDir().mkpath(configFolder);
        QFile shipped(QStringLiteral(QRX_CONFIG_DIR "/dravion/ConfigK.inf"));
        shipped.open(QIODevice::ReadOnly | QIODevice::Text);
        QStringList lines = QString::fromLatin1(shipped.readAll()).split(QLatin1Char('\n'));
        for (const QString &edit : configEdit) {
            const QString label = edit.section(QLatin1Char('='), 0, 0);
            for (QString &line : lines) {
                if (line.section(QLatin1Char('='), 0, 0) == label)
                    line = edit;
            }
        }
        QFile config(configFolder + QStringLiteral("/ConfigK.inf"));
        config.open(QIODevice::WriteOnly | QIODevice::Text);
        config.write(lines.join(QLatin1Char('\n')).toLatin1());
        config.close();

        QFile stateFile(dir.filePath(QStringLiteral("device.ini")));
        stateFile.open(QIODevice::WriteOnly | QIODevice::Text);
        for (const auto &[code, value] : deviceValues)
            stateFile.write(QByteArray::number(code) + '=' + QByteArray::number(value) + '\n');
        stateFile.close();

        options.configPath = config.fileName();
        options.statePath = stateFile.fileName();
        options.pacing = false;
    }

    ~TransferRig()
    {
        window.reset();
        link.reset();
        port.close();
    }

    // Starts the device and builds the window; false (with the reason) when the pty fails.
    bool start(QString *error)
    {
        device = std::make_unique<SimulatedDevice>(options);
        if (!device->start(error))
            return false;
        const QString path = device->path();
        startWindow([path] { return path; });
        return true;
    }

    // Builds the window on a port found where portPath() says at each opening.
    void startWindow(std::function<QString()> portPath)
    {
        link = std::make_unique<LinkEngine>(state, port, timer, dialogs);
        link->setPortResolver([portPath](int) { return portPath(); });
        context = std::make_unique<AppContext>(AppContext{state, link.get(), dialogs});
        window = std::make_unique<frmAltMain>(*context);
        // The load read the program's folder; this rig's configuration replaces it.
        for (QComboBox *list : {c().cboRateUnits, c().cboRateInterval, c().cboKfactorUnits})
            list->clear();
        window->fields().loadConfigurationFrom(configFolder);
        dialogs.clear();
        QObject::connect(window->transfer().progressWindow(), &frmProgress::percentChanged,
                         [this](const QString &text) { percents << text; });
    }

    AltMainControls &c() { return window->controls(); }
    frmProgress *progress() { return window->transfer().progressWindow(); }
    QStringList received() const { return device->received(); }
};

// What the window shows of a setup, field by field, with the points in use.
inline QStringList snapshot(TransferRig &rig)
{
    AltMainControls &c = rig.c();
    QStringList out{c.cboRateUnits->currentText(), c.cboRateInterval->currentText(), c.cboKfactorUnits->currentText()};
    for (QLineEdit *field : {c.txtKfactor, c.txtDamping, c.txtFlowLow, c.txtFlowHi, c.txtLinearPts, c.txtSpg})
        out << field->objectName() + QLatin1Char('=') + field->text();
    for (int i = 0; i < rig.state.LinearPtsItem.value; ++i)
        out << QStringLiteral("pt%1=%2/%3").arg(i).arg(rig.state.LinFreqItems[i].value).arg(rig.state.LinFlowItems[i].value);
    return out;
}

// Frames as the simulator logs them: "3i" -> "<STX>3i<CR>".
inline QStringList frames(const QStringList &bodies)
{
    QStringList out;
    for (const QString &b : bodies)
        out << QStringLiteral("<STX>") + b + QStringLiteral("<CR>");
    return out;
}
