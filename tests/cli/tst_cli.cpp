// qrx-cli against a simulated device on a pty: the same file as the window's Save, the described
// download bytes, exactly the changed items from compare, and an exit status per failure class.
// Compare with Device in both main windows.

#include <map>
#include <memory>

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>

#include "app/frmaltmain.h"
#include "datafile/datafilecommands.h"
#include "link/devicestate.h"
#include "link/linkengine.h"
#include "link/qtreplytimer.h"
#include "link/serialdeviceport.h"
#include "mr/frmmr.h"
#include "params/configreader.h"
#include "params/dravionfields.h"
#include "simulateddevice.h"
#include "fakeuserdialogs.h"
#include "transfer/frmcompare.h"
#include "transfer/setuptransfer.h"

namespace {

struct Family
{
    const char *name;
    std::map<int, double> device;  // the device's setup
    QStringList downloadFrames;    // what a download of that setup sends, up to "W"
    std::map<QString, QString> edits; // file lines changed for compare ("11=5" -> "11=9")
    QStringList differences;       // what compare then lists
};

const Family Dravion{"Dravion",
                     {{3, 2}, {4, 1}, {8, 1}, {9, 12.5}, {11, 5}, {15, 0}, {16, 100}, {100, 2}, {7, 0.85},
                      {101, 100}, {102, 1.5}, {103, 200}, {104, 2.5}},
                     {"V", "3i2", "4i1", "8i1", "9f12.5", "11i5", "15f0", "16f100", "100i2", "7f0.85", "101i100",
                      "102f1.5", "103i200", "104f2.5", "W"},
                     {{"11=5", "11=9"}, {"104=2.5", "104=3"}, {"16=100", "16=100.005"}},
                     {"Damping\t9\t5", "Flow Linear Pt 2\t3\t2.5"}};

const Family Mr{"MR",
                {{1, 2}, {2, 3}, {3, 2}, {4, 1}, {5, 0}, {6, 0.9}, {7, 1.5}, {8, 2}, {9, 100}, {10, 20}, {11, 0.5},
                 {12, 0.05}, {13, 4}, {14, 1}, {17, 0}, {18, 500}, {19, 42}, {100, 2}, {101, 10}, {102, 1.1},
                 {103, 20}, {104, 1.2}},
                {"V", "1i2", "2i3", "3i2", "4i1", "5i0", "6f0.9", "7f1.5", "8i2", "9f100", "10f20", "11f0.5",
                 "12f0.05", "13i4", "14i1", "17f0", "18f500", "0019i42", "100i2", "101i10", "102f1.1", "103i20",
                 "104f1.2", "W"},
                {{"13=4", "13=9"}, {"104=1.2", "104=1.5"}},
                {"Damping\t9\t4", "Coefficient Linear Pt 2\t1.5\t1.2"}};

QStringList frames(const QStringList &bodies)
{
    QStringList out;
    for (const QString &b : bodies)
        out << QStringLiteral("<STX>") + b + QStringLiteral("<CR>");
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One simulated device of a family and the CLI pointed at it.
struct CliRig
{
    const Family &family;
    QTemporaryDir dir;
    QString config;
    SimOptions options;
    std::unique_ptr<SimulatedDevice> device;
    int status = -1;
    QString out, err;

    explicit CliRig(const Family &f, const std::map<int, double> &values)
        : family(f)
    {
        const bool mr = QLatin1String(f.name) == QLatin1String("MR");
        config = ConfigReader::chooseFile(QStringLiteral(QRX_CONFIG_DIR) + (mr ? "/mr" : "/dravion"),
                                          mr ? ConfigReader::Family::MR : ConfigReader::Family::Dravion);
        options.family = QString::fromLatin1(f.name);
        options.configPath = config;
        options.statePath = dir.filePath(QStringLiteral("device.ini"));
        options.pacing = false;
        QByteArray state;
        for (const auto &[code, value] : values)
            state += QByteArray::number(code) + '=' + QByteArray::number(value) + '\n';
        QFile file(options.statePath);
        file.open(QIODevice::WriteOnly);
        file.write(state);
    }

    bool start()
    {
        device = std::make_unique<SimulatedDevice>(options);
        return device->start();
    }

    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

    int run(QStringList arguments, const QString &port = {})
    {
        arguments << "--family" << family.name << "--config" << config << "--port"
                  << (port.isEmpty() ? device->path() : port);
        QProcess p;
        p.start(QStringLiteral(QRX_CLI_PATH), arguments);
        p.waitForFinished(60000);
        out = QString::fromLocal8Bit(p.readAllStandardOutput());
        err = QString::fromLocal8Bit(p.readAllStandardError());
        status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return status;
    }
};

// The family's main window on a real port, reading the same configuration as the CLI.
struct WindowRig
{
    DeviceState state;
    SerialDevicePort port;
    QtReplyTimer timer{500};
    FakeUserDialogs dialogs;
    std::unique_ptr<LinkEngine> link;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<QMainWindow> window;
    SetupTransfer *transfer = nullptr;
    DataFileCommands *files = nullptr;

    WindowRig(const Family &f, const QString &portPath, const QString &config)
    {
        link = std::make_unique<LinkEngine>(state, port, timer, dialogs);
        link->setPortResolver([portPath](int) { return portPath; });
        context = std::make_unique<AppContext>(AppContext{state, link.get(), dialogs, QString::fromLatin1(f.name)});
        const QString folder = QFileInfo(config).absolutePath();
        if (QLatin1String(f.name) == QLatin1String("MR")) {
            auto *w = new frmMR(*context, folder);
            transfer = &w->transfer();
            files = &w->dataFiles();
            window.reset(w);
        } else {
            auto *w = new frmAltMain(*context);
            for (QComboBox *list : w->findChildren<QComboBox *>())
                list->clear(); // the configuration of the program's folder is replaced
            w->fields().loadConfigurationFrom(folder);
            transfer = &w->transfer();
            files = &w->dataFiles();
            window.reset(w);
        }
        state.ReplyReceived = true;
        state.AutoFrame = true;
        dialogs.clear();
    }

    QLineEdit *field(const char *name) { return window->findChild<QLineEdit *>(QString::fromLatin1(name)); }
};

class CliTest : public ::testing::TestWithParam<Family>
{
};

TEST_P(CliTest, ReadGivesTheWindowsSavedFileAndDownloadSendsTheDescribedBytes)
{
    const Family &f = GetParam();
    CliRig source(f, f.device);
    ASSERT_TRUE(source.start());
    ASSERT_EQ(source.run({"read", source.path("cli.dat")}), 0) << source.err.toStdString();

    WindowRig w(f, source.device->path(), source.config);
    w.transfer->btnRead_Click();
    ASSERT_EQ(w.dialogs.texts().join("|"), "Read Successful");
    w.dialogs.fileAnswers.push_back(source.path("window.dat"));
    w.files->mnuSave_Click();
    EXPECT_EQ(readAll(source.path("cli.dat")), readAll(source.path("window.dat")));

    CliRig target(f, {});
    ASSERT_TRUE(target.start());
    EXPECT_EQ(target.run({"download", source.path("cli.dat"), "--verify"}), 0) << target.err.toStdString();
    EXPECT_EQ(target.device->received().mid(0, f.downloadFrames.size()), frames(f.downloadFrames));
    EXPECT_TRUE(target.err.contains("Verify Successful")) << target.err.toStdString();
}

TEST_P(CliTest, CompareListsExactlyTheChangedItemsAndTheWindowsTableMarksThem)
{
    const Family &f = GetParam();
    CliRig rig(f, f.device);
    ASSERT_TRUE(rig.start());
    ASSERT_EQ(rig.run({"read", rig.path("setup.dat")}), 0) << rig.err.toStdString();
    EXPECT_EQ(rig.run({"compare", rig.path("setup.dat")}), 0);
    EXPECT_EQ(rig.out, "");

    QStringList lines = QString::fromLatin1(readAll(rig.path("setup.dat"))).split("\r\n");
    for (QString &line : lines)
        line = f.edits.count(line) ? f.edits.at(line) : line;
    QFile edited(rig.path("edited.dat"));
    ASSERT_TRUE(edited.open(QIODevice::WriteOnly));
    edited.write(lines.join("\r\n").toLatin1());
    edited.close();
    EXPECT_EQ(rig.run({"compare", rig.path("edited.dat")}), 1);
    EXPECT_EQ(rig.out, f.differences.join('\n') + '\n');

    // The window: open the edited file, compare; the table marks the same rows, nothing changes.
    WindowRig w(f, rig.device->path(), rig.config);
    w.dialogs.fileAnswers.push_back(rig.path("edited.dat"));
    w.window->findChild<QAction *>("mnuOpen")->trigger();
    const QString damping = w.field("txtDamping")->text();
    const int sent = int(rig.device->received().size());
    w.window->findChild<QAction *>("mnuCompare")->trigger();
    EXPECT_GT(rig.device->received().size(), sent);
    auto *table = w.window->findChild<frmCompare *>("frmCompare");
    ASSERT_TRUE(table);
    QStringList marked;
    for (int r = 0; r < table->table()->rowCount(); ++r) {
        if (table->table()->item(r, 3)->text() == "!")
            marked << QStringList{table->table()->item(r, 0)->text(), table->table()->item(r, 1)->text(),
                                  table->table()->item(r, 2)->text()}
                          .join('\t');
    }
    EXPECT_EQ(marked, f.differences);
    table->close();
    EXPECT_EQ(w.field("txtDamping")->text(), damping);
    EXPECT_EQ(w.state.LinFlowItems[1].value, QString(f.differences[1]).section('\t', 1, 1).toFloat());
}

INSTANTIATE_TEST_SUITE_P(Families, CliTest, ::testing::Values(Dravion, Mr),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(CliFailureTest, EachFailureClassGivesItsStatusAndTheWindowsMessage)
{
    struct Row
    {
        const char *name;
        std::function<void(CliRig &)> setUp;
        QStringList arguments; // "FILE" stands for a sound data file, "CORRUPT" for a corrupt one
        QString port;          // empty: the simulator
        int status;
        QString message;
        bool sends;
    };
    const Row rows[] = {
        {"silent device", [](CliRig &r) { r.options.silent = true; }, {"read", "OUT"}, {}, 3,
         "Communications Timeout Check Serial Connection or Com Port Setting", true},
        {"device error", [](CliRig &r) { r.options.errorCode = 13; r.options.errorItem = "11"; }, {"download", "FILE"},
         {}, 3, "Device Error 13, VALUE TOO LOW Issued for Damping", true},
        {"missing port", [](CliRig &) {}, {"read", "OUT"}, "/nonexistent/port", 3, "ERROR - Invalid Com Port", false},
        {"corrupt file", [](CliRig &) {}, {"download", "CORRUPT"}, {}, 2, "Corrupt Data File!  Continue loading? No",
         false},
        {"usage", [](CliRig &) {}, {"program"}, {}, 2, "Usage: qrx-cli", false},
    };
    for (const Row &row : rows) {
        CliRig rig(Dravion, Dravion.device);
        row.setUp(rig);
        ASSERT_TRUE(rig.start()) << row.name;
        QFile sound(rig.path("sound.dat"));
        sound.open(QIODevice::WriteOnly);
        sound.write("Parameter <Equals> Value\r\n3=2\r\n4=1\r\n8=1\r\n9=12.5\r\n11=5\r\n15=0\r\n16=100\r\n100=0\r\n7=0.85\r\n");
        sound.close();
        QFile corrupt(rig.path("corrupt.dat"));
        corrupt.open(QIODevice::WriteOnly);
        corrupt.write("Parameter <Equals> Value\r\n3=2\r\n11=abc\r\n");
        corrupt.close();
        QStringList args;
        for (const QString &a : row.arguments)
            args << (a == "FILE" ? rig.path("sound.dat") : a == "CORRUPT" ? rig.path("corrupt.dat")
                     : a == "OUT" ? rig.path("out.dat") : a);
        EXPECT_EQ(rig.run(args, row.port), row.status) << row.name << ": " << rig.err.toStdString();
        EXPECT_TRUE(rig.err.contains(row.message)) << row.name << ": " << rig.err.toStdString();
        EXPECT_EQ(!rig.device->received().isEmpty(), row.sends) << row.name;
        EXPECT_FALSE(rig.device->received().join("").contains("<STX>W<CR>")) << row.name;
        EXPECT_FALSE(QFile::exists(rig.path("out.dat"))) << row.name;
    }
}

} // namespace
