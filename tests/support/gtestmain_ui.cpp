// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QFile>
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
    // The user's documents folder, where Save and Open may make a folder, lies in it as well.
    QFile userDirs(settings.filePath(QStringLiteral("user-dirs.dirs")));
    if (userDirs.open(QIODevice::WriteOnly))
        userDirs.write(
            "XDG_DOCUMENTS_DIR=\"" + settings.filePath(QStringLiteral("Documents")).toLocal8Bit() + "\"\n");
    userDirs.close();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
