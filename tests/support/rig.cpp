// SPDX-License-Identifier: GPL-3.0-or-later
#include "rig.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>

#include <gtest/gtest.h>

#include "app/frmaltmain.h"
#include "app/settingsstore.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "mr/frmmr.h"
#include "params/devicefamily.h"
#include "params/dravionfields.h"
#include "transfer/setuptransfer.h"

Rig::Rig(const QString &family, const std::map<int, double> &deviceValues)
    : m_values(deviceValues)
{
    SettingsStore::open()->clear();
    options.family = family;
    options.pacing = false;
}

Rig::~Rig() = default; // the window, declared last, closes through the link before the link goes

bool Rig::start(bool onPty)
{
    // The device and the window read one copy of the shipped configuration, edited by label.
    const QString shipped = isMr() ? QStringLiteral(QRX_CONFIG_DIR "/mr/Config.inf")
                                   : QStringLiteral(QRX_CONFIG_DIR "/dravion/ConfigK.inf");
    QFile in(shipped);
    in.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromLatin1(in.readAll()).split(QLatin1Char('\n'));
    for (const QString &edit : configEdits)
        for (QString &line : lines)
            if (line.section(QLatin1Char('='), 0, 0) == edit.section(QLatin1Char('='), 0, 0))
                line = edit;
    const QString folder = dir.filePath(QStringLiteral("config"));
    QDir().mkpath(folder);
    options.configPath = folder + QLatin1Char('/') + QFileInfo(shipped).fileName();
    writeFile(options.configPath, lines.join(QLatin1Char('\n')).toLatin1());

    DevicePort *port = nullptr;
    QString path = QStringLiteral("simulated");
    if (onPty) {
        options.statePath = dir.filePath(QStringLiteral("device.ini"));
        QByteArray values;
        for (const auto &[code, value] : m_values)
            values += QByteArray::number(code) + '=' + QByteArray::number(value, 'g', 10) + '\n';
        writeFile(options.statePath, values);
        pty = std::make_unique<SimulatedDevice>(options);
        if (!pty->start(&error))
            return false;
        serial = std::make_unique<SerialDevicePort>();
        port = serial.get();
        path = pty->path();
    } else {
        memory = std::make_unique<SimulatedPort>(options);
        for (const auto &[code, value] : m_values)
            memory->model().setValue(code, value);
        port = memory.get();
    }
    link = std::make_unique<LinkEngine>(state, *port, timer, dialogs);
    link->setPortResolver([path](int) { return path; });
    context = std::make_unique<AppContext>(
        AppContext { state, link.get(), dialogs, *DeviceFamily::byName(options.family) });
    if (isMr()) {
        window = std::make_unique<frmMR>(*context, folder);
    } else {
        auto *main = new frmAltMain(*context);
        window.reset(main);
        main->fields().loadConfigurationFrom(folder); // replaces the lists of the program's folder
    }
    dialogs.clear();
    QObject::connect(window->transfer().progressWindow(), &frmProgress::percentChanged,
        [this](const QString &t) { percents << t; });
    return true;
}

MainWindowControls &Rig::c()
{
    if (auto *mr = qobject_cast<frmMR *>(window.get()))
        return mr->controls();
    return static_cast<frmAltMain *>(window.get())->controls();
}

QWidget *Rig::find(const QString &name) const
{
    QWidget *w = window->findChild<QWidget *>(name);
    if (!w)
        w = window->linearPoints().window()->findChild<QWidget *>(name);
    if (!w)
        ADD_FAILURE() << "no control " << name.toStdString();
    return w;
}

void Rig::set(const QString &name, const QString &value)
{
    QWidget *w = find(name);
    if (auto *edit = qobject_cast<QLineEdit *>(w)) {
        edit->setText(value);
    } else if (auto *list = qobject_cast<QComboBox *>(w)) {
        bool isIndex = false;
        const int index = value.toInt(&isIndex);
        list->setCurrentIndex(isIndex ? index : list->findText(value));
    } else {
        ADD_FAILURE() << name.toStdString() << " takes no value";
    }
}

QString Rig::shown(const QString &name) const
{
    QWidget *w = find(name);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    if (auto *list = qobject_cast<QComboBox *>(w))
        return list->currentText();
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    return QString();
}

void Rig::enter(const QString &assignments)
{
    for (const QString &a : words(assignments))
        set(a.section(QLatin1Char('='), 0, 0), a.section(QLatin1Char('='), 1));
}

double Rig::deviceValue(int code) const
{
    return pty ? pty->itemValue(code) : memory->model().value(code);
}

void Rig::setDeviceValue(int code, double value)
{
    if (pty)
        pty->setItemValue(code, value);
    else if (memory)
        memory->model().setValue(code, value);
    else
        m_values[code] = value;
}

QStringList Rig::received() const
{
    return pty ? pty->received() : memory ? memory->received() : QStringList();
}

bool Rig::waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < ms)
        QTest::qWait(10);
    return condition();
}
