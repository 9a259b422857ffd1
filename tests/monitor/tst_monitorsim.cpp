// The monitor's test send over a real pseudo-terminal: what the simulated device received.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "monitor/frmlinemonitor.h"
#include "simulateddevice.h"
#include "fakeuserdialogs.h"

namespace {

TEST(MonitorOverPty, TestSendReachesTheDeviceExactlyAsComposed)
{
    const struct { QString typed; bool stx, cr; const char *received, *rx, *box; } cases[] = {
        {QStringLiteral("3i"), true, true, "<STX>3i<CR>", "RX-->  <STX>3i2<CR>", ""},
        {QStringLiteral("\x02V\r"), false, false, "<STX>V<CR>", "RX-->  <STX>V1.00<CR>", ""},
        // A character the line cannot carry goes as "?"; the echo shows the same.
        {QStringLiteral("3i\u20AC"), true, true, "<STX>3i?<CR>", "RX-->  <STX>E15<CR>",
         "Device Error 15, INVALID MESSAGE FORMAT"},
        {QStringLiteral("3i"), false, false, "3i", "RX-->  ", "Communications Timeout"},
    };
    SimOptions options;
    options.pacing = false;
    SimulatedDevice sim(options);
    QString error;
    ASSERT_TRUE(sim.start(&error)) << error.toStdString();
    sim.setItemValue(3, 2);

    DeviceState state;
    state.ReplyReceived = true;
    FakeUserDialogs dialogs;
    SerialDevicePort port;
    QtReplyTimer timer(500);
    LinkEngine link(state, port, timer, dialogs);
    link.setPortResolver([path = sim.path()](int) { return path; });
    AppContext context{state, &link, dialogs};
    frmLineMonitor monitor(context);
    link.setEcho(&monitor);
    monitor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));

    for (const auto &c : cases) {
        const int before = sim.received().size();
        dialogs.clear();
        monitor.findChild<QCheckBox *>(QStringLiteral("ckbAutoSTX"))->setChecked(c.stx);
        monitor.findChild<QCheckBox *>(QStringLiteral("ckbAutoCR"))->setChecked(c.cr);
        monitor.findChild<QLineEdit *>(QStringLiteral("txtOutput"))->setText(c.typed);
        monitor.findChild<QPushButton *>(QStringLiteral("btnSend"))->click();

        for (int i = 0; i < 100 && sim.received().size() <= before; ++i)
            QThread::msleep(5);
        EXPECT_EQ(sim.received().value(before), QLatin1String(c.received));
        const QStringList rows = monitor.trafficText().split(QStringLiteral("\r\n"));
        const int tx = int(rows.lastIndexOf(QStringLiteral("TX-->  ") + QLatin1String(c.received)));
        ASSERT_GE(tx, 0) << c.received;
        EXPECT_EQ(rows.value(tx + 1), QLatin1String(c.rx));
        EXPECT_TRUE(state.AutoFrame);
        EXPECT_EQ(state.CommAbort, *c.box != 0) << c.received;
        EXPECT_EQ(dialogs.messages.empty() ? QString() : dialogs.messages.back().text.trimmed().section('\r', 0, 0),
                  QLatin1String(c.box));
    }
}

} // namespace
