// The version check through the main window against the simulated device on a pty.

#include <gtest/gtest.h>

#include "app/frmaltmain.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "params/dravionfields.h"
#include "simulateddevice.h"
#include "support/fakeuserdialogs.h"

namespace {

const char *const DeviceNewer = "Device version is newer then configuration file\r   Contact Manufacturer for updated software";
const char *const ConfigNewer = "Configuration file is newer then the device version\r    Contact Manufacturer for Device upgrade";

} // namespace

TEST(VersionCheckAgainstDevice, ReportsOnlyADifference)
{
    const struct { const char *device; const char *file; const char *message; bool silent; } rows[] = {
        {"2.10", "2.10", nullptr, false},
        {"2.1", "2.10", nullptr, false}, // the same number
        {"2.05", "2.10", ConfigNewer, false},
        {"3.0", "2.10", DeviceNewer, false},
        {"1.00", "", DeviceNewer, false}, // a file without a version line
        {"2.10", "2.10", nullptr, true},  // no reply: the link reports it, the check says nothing more
    };
    for (const auto &r : rows) {
        SimOptions options;
        options.version = QString::fromLatin1(r.device);
        options.configPath = QStringLiteral(QRX_CONFIG_DIR "/dravion/Config.inf");
        options.pacing = false;
        options.silent = r.silent;
        SimulatedDevice device(options);
        QString error;
        ASSERT_TRUE(device.start(&error)) << error.toStdString();

        DeviceState state;
        SerialDevicePort port;
        QtReplyTimer timer{500};
        FakeUserDialogs dialogs;
        LinkEngine link(state, port, timer, dialogs);
        link.setPortResolver([path = device.path()](int) { return path; });
        AppContext context{state, &link, dialogs};
        frmAltMain window(context);
        state.ConfigVersion = QString::fromLatin1(r.file);
        dialogs.clear();

        window.fields().CheckDeviceVersion();
        EXPECT_EQ(device.received(), QStringList(r.silent ? 2 : 1, QStringLiteral("<STX>V<CR>"))) << r.device;
        if (r.silent) {
            EXPECT_TRUE(state.CommAbort);
            EXPECT_EQ(dialogs.texts(), QStringList{LinkEngine::timeoutMessage()});
        } else {
            EXPECT_FALSE(state.CommAbort) << r.device;
            EXPECT_EQ(dialogs.texts(), r.message ? QStringList{QString::fromLatin1(r.message)} : QStringList()) << r.device;
            for (const auto &m : dialogs.messages)
                EXPECT_TRUE(m.icon == UserDialogs::Icon::Critical && m.title == UserDialogs::defaultTitle());
        }
        port.close();
    }
}
