#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/portassignments.h"
#include "app/settingsstore.h"

namespace {

// A made-up machine: two device nodes, an adapter named under by-id, a by-id name of a port the
// system does not list (a pty), a dangling by-id name, and a node we may not open.
class PortAssignmentsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SettingsStore::open()->clear();
        QDir(root.path()).mkpath(QStringLiteral("dev"));
        QDir(root.path()).mkpath(QStringLiteral("by-id"));
        for (const char *node : {"dev/ttyUSB0", "dev/ttyS0", "dev/ttyACM0", "dev/pts-7"}) {
            QFile file(at(node));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        ASSERT_TRUE(QFile::link(at("dev/ttyUSB0"), at("by-id/usb-FTDI_FT232R-if00-port0")));
        ASSERT_TRUE(QFile::link(at("dev/pts-7"), at("by-id/usb-sim")));
        ASSERT_TRUE(QFile::link(at("dev/gone"), at("by-id/usb-unplugged")));
        machine.ports = [this] {
            return QList<PortAssignments::FoundPort>{{at("dev/ttyUSB0"), "FT232R USB UART", "FTDI", "A10K3X"},
                                                     {at("dev/ttyS0"), {}, {}, {}},
                                                     {at("dev/ttyACM0"), "Modem", {}, {}}};
        };
        machine.byIdFolder = at("by-id");
        machine.mayOpen = [this](const QString &path) { return path != at("dev/ttyACM0"); };
    }
    QString at(const char *relative) const { return root.filePath(QString::fromLatin1(relative)); }

    QTemporaryDir root;
    PortAssignments::Machine machine;
};

TEST_F(PortAssignmentsTest, OffersFoundPortsByTheirStableNamesAndNamesMissingOnes)
{
    PortAssignments model(12, machine);
    model.load();
    std::vector<std::pair<QString, QString>> offered;
    for (const auto &c : model.choices())
        offered.emplace_back(c.path, c.details);
    const std::vector<std::pair<QString, QString>> expected{
        {at("by-id/usb-FTDI_FT232R-if00-port0"), "FT232R USB UART, FTDI, serial A10K3X, now " + at("dev/ttyUSB0")},
        {at("dev/ttyS0"), ""},
        {at("dev/ttyACM0"), "Modem"},
        {at("by-id/usb-sim"), "now " + at("dev/pts-7")},
    };
    EXPECT_EQ(offered, expected);

    const struct { QString path; PortAssignments::Presence presence; QString note; } cases[] = {
        {at("by-id/usb-FTDI_FT232R-if00-port0"), PortAssignments::Presence::Present, expected[0].second},
        {at("dev/ttyUSB0"), PortAssignments::Presence::Present, expected[0].second}, // the node behind it
        {at("dev/pts-7"), PortAssignments::Presence::Present, expected[3].second},
        {at("dev/ttyS0"), PortAssignments::Presence::Present, "present"},
        {at("dev/ttyACM0"), PortAssignments::Presence::NoPermission, PortAssignments::permissionHint(at("dev/ttyACM0"))},
        {at("by-id/usb-unplugged"), PortAssignments::Presence::Missing, "missing"},
        {at("dev/ttyUSB9"), PortAssignments::Presence::Missing, "missing"},
        {"", PortAssignments::Presence::Missing, "missing"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(model.presence(c.path), c.presence) << c.path.toStdString();
        EXPECT_EQ(model.note(c.path), c.note) << c.path.toStdString();
    }
    EXPECT_TRUE(PortAssignments::permissionHint("/dev/ttyACM0").contains("sudo adduser $USER dialout"));
}

TEST_F(PortAssignmentsTest, StoreWritesOnlyChangesAndCancelWritesNothing)
{
    auto settings = SettingsStore::open();
    settings->setValue("Ports/Com1", "/dev/old");
    settings->setValue("Ports/Com4", "/dev/ttyUSB3");
    settings->sync();

    {
        PortAssignments cancelled(4, machine); // a dialog closed with Cancel never stores
        cancelled.load();
        cancelled.setPath(1, at("by-id/usb-sim"));
    }
    EXPECT_EQ(SettingsStore::portPath(1), "/dev/old");

    PortAssignments model(4, machine);
    model.load();
    EXPECT_EQ(model.path(1), "/dev/old");
    EXPECT_EQ(model.path(2), SettingsStore::portPath(2)); // the default
    model.setPath(1, " " + at("by-id/usb-sim") + " ");
    model.setPath(4, ""); // back to the default
    model.store();

    settings = SettingsStore::open();
    EXPECT_EQ(settings->value("Ports/Com1").toString(), at("by-id/usb-sim"));
    EXPECT_FALSE(settings->contains("Ports/Com2")) << "an unchanged default is not written";
    EXPECT_FALSE(settings->contains("Ports/Com4"));
    EXPECT_EQ(SettingsStore::portPath(4), "/dev/ttyS3");
}

} // namespace
