// The monitor's test send over a real pseudo-terminal: what the simulated device received.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QThread>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "monitor/frmlinemonitor.h"
#include "simulateddevice.h"
#include "support/fakeuserdialogs.h"

namespace {

SimOptions fastDevice()
{
    SimOptions o;
    o.pacing = false;
    return o;
}

TEST(MonitorOverPty, TestSendReachesTheDeviceExactlyAsComposed)
{
    struct Row
    {
        QString typed;
        bool stx;
        bool cr;
        QString received; // the device's log markup of the first transmission
        bool answered;
    };
    const Row rows[] = {
        {QStringLiteral("3i"), true, true, QStringLiteral("<STX>3i<CR>"), true},
        {QStringLiteral("\x02V\r"), false, false, QStringLiteral("<STX>V<CR>"), true},
        {QStringLiteral("3i"), false, false, QStringLiteral("3i"), false},
    };
    SimulatedDevice sim(fastDevice());
    QString error;
    ASSERT_TRUE(sim.start(&error)) << error.toStdString();

    DeviceState state;
    state.ReplyReceived = true;
    state.AutoFrame = true;
    FakeUserDialogs dialogs;
    SerialDevicePort port;
    QtReplyTimer timer(500);
    LinkEngine link(state, port, timer, dialogs);
    const QString path = sim.path();
    link.setPortResolver([path](int) { return path; });
    AppContext context{state, &link, dialogs};
    frmLineMonitor monitor(context);
    link.setEcho(&monitor);
    monitor.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&monitor));
    monitor.findChild<QTabBar *>(QStringLiteral("TabStrip1"))->setCurrentIndex(2);

    for (const Row &row : rows) {
        const int before = sim.received().size();
        dialogs.clear();
        monitor.findChild<QCheckBox *>(QStringLiteral("ckbAutoSTX"))->setChecked(row.stx);
        monitor.findChild<QCheckBox *>(QStringLiteral("ckbAutoCR"))->setChecked(row.cr);
        monitor.findChild<QLineEdit *>(QStringLiteral("txtOutput"))->setText(row.typed);
        monitor.findChild<QPushButton *>(QStringLiteral("btnSend"))->click();

        for (int i = 0; i < 100 && sim.received().size() <= before; ++i)
            QThread::msleep(5);
        const QStringList received = sim.received().mid(before);
        ASSERT_FALSE(received.isEmpty()) << row.received.toStdString();
        EXPECT_EQ(received.first(), row.received);
        EXPECT_TRUE(state.AutoFrame);
        EXPECT_EQ(state.CommAbort, !row.answered) << row.received.toStdString();
        if (row.answered) {
            EXPECT_TRUE(dialogs.messages.empty());
            const QStringList rows = monitor.trafficText().split(QStringLiteral("\r\n"));
            ASSERT_GE(rows.size(), 3);
            EXPECT_EQ(rows.at(rows.size() - 3), QStringLiteral("TX-->  ") + row.received);
            const QString body = row.received.mid(5, row.received.size() - 9); // inside <STX>..<CR>
            EXPECT_FALSE(state.ReplyValue.isEmpty());
            EXPECT_EQ(rows.at(rows.size() - 2),
                      QStringLiteral("RX-->  <STX>") + body + state.ReplyValue + QStringLiteral("<CR>"));
        } else {
            ASSERT_EQ(dialogs.messages.size(), 1u); // no frame to answer: the time-out box
            EXPECT_EQ(dialogs.messages.front().text, LinkEngine::timeoutMessage());
        }
    }
}

} // namespace
