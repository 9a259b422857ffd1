// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <map>
#include <memory>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "fakeuserdialogs.h"
#include "link/appcontext.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "simulateddevice.h"
#include "simulatedport.h"
#include "wire.h"

class MainWindowShell;
struct MainWindowControls;

// A family's main window on the link with fake dialogs and the simulated device, in memory or on a
// real pty (for what only a real line shows); controls by object name, so one row serves both families.
struct Rig
{
    QTemporaryDir dir;
    SimOptions options;
    DeviceState state;
    FakeUserDialogs dialogs;
    QtReplyTimer timer { 500 };
    std::unique_ptr<SimulatedPort> memory; // the device in memory, or
    std::unique_ptr<SimulatedDevice> pty; // the device on a pty
    std::unique_ptr<SerialDevicePort> serial; // and the port to it
    std::unique_ptr<LinkEngine> link;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<MainWindowShell> window;
    QStringList percents; // every new text of the progress window's percentage
    QString error; // why start() failed

    // Configuration lines replaced by label ("TimeOut=..."), in the copy both device and window read.
    QStringList configEdits;

    // family "Dravion" or "MR"; the device starts from the shipped configuration with these items.
    explicit Rig(
        const QString &family = QStringLiteral("Dravion"), const std::map<int, double> &deviceValues = {});
    ~Rig();

    // Starts the device and builds the window; false (with the reason in error) when the pty fails.
    bool start(bool onPty = false);

    bool isMr() const { return options.family == QLatin1String("MR"); }
    MainWindowControls &c();
    // A control of the main window or its linear points window (fails the test when there is none).
    template <class W = QWidget> W *control(const QString &name) const
    {
        return qobject_cast<W *>(find(name));
    }
    // Sets a line edit's text or picks a list entry by its text or, for a number, its index.
    void set(const QString &name, const QString &value);
    // What a control shows: a line edit's text, a list's entry text, a label's text.
    QString shown(const QString &name) const;
    // "name=value" rows as set() takes them, several in one string separated by spaces.
    void enter(const QString &assignments);

    double deviceValue(int code) const;
    void setDeviceValue(int code, double value);
    QStringList received() const; // every frame the device received, as markup
    void mark() { m_seen = int(received().size()); }
    QStringList receivedSinceMark() const { return received().mid(m_seen); }

    static bool waitFor(const std::function<bool()> &condition, int ms);

private:
    QWidget *find(const QString &name) const;
    std::map<int, double> m_values;
    int m_seen = 0;
};
