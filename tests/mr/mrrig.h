#pragma once

#include <map>
#include <memory>

#include <QElapsedTimer>
#include <QTest>

#include "../transfer/rigsupport.h"
#include "app/settingsstore.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "mr/frmmr.h"
#include "simulatedport.h"
#include "fakeuserdialogs.h"

// The MR main window talking to a simulated MR device from the shipped configuration, which
// starts from the given item values.
struct MrRig
{
    DeviceState state;
    FakeUserDialogs dialogs;
    std::unique_ptr<SimulatedPort> device;
    QtReplyTimer timer { 500 };
    std::unique_ptr<LinkEngine> link;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<frmMR> window;
    int seen = 0;

    explicit MrRig(const std::map<int, double> &deviceValues = {}, int outputType = 0)
    {
        SettingsStore::open()->clear();
        SimOptions o;
        o.family = QStringLiteral("MR");
        o.configPath = QStringLiteral(QRX_CONFIG_DIR "/mr/Config.inf");
        o.outputType = outputType;
        o.pacing = false;
        device = std::make_unique<SimulatedPort>(o);
        for (const auto &[code, value] : deviceValues)
            device->model().setValue(code, value);
        link = std::make_unique<LinkEngine>(state, *device, timer, dialogs);
        link->setPortResolver([](int) { return QStringLiteral("simulated"); });
        context
            = std::make_unique<AppContext>(AppContext { state, link.get(), dialogs, QStringLiteral("MR") });
        window = std::make_unique<frmMR>(*context, QStringLiteral(QRX_CONFIG_DIR "/mr"));
    }

    MrControls &c() { return window->controls(); }
    QStringList received() const { return device->received(); }
    void forget() { seen = int(device->received().size()); }
    QStringList receivedSinceForget() const { return device->received().mid(seen); }

    // Runs the event loop until the condition holds or the time is up.
    template <typename F> static bool waitFor(F condition, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition() && clock.elapsed() < ms)
            QTest::qWait(10);
        return condition();
    }
};
