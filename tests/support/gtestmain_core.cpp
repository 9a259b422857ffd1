// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    // A settings folder of the run's own, also when a test program is started by hand: a test
    // never reads or overwrites the user's real settings or data.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    // The same for the per-user data folder, where the setup history is kept.
    qputenv("XDG_DATA_HOME", settings.filePath(QStringLiteral("data")).toLocal8Bit());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
