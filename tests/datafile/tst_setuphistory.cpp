// SPDX-License-Identifier: GPL-3.0-or-later
// The setup history on disk: names, the order and capping of what is kept, a folder that cannot
// be written, and what the list shows of each kept setup.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "datafile/setuphistory.h"
#include "params/devicefamily.h"
#include "table.h"
#include "wire.h"

namespace {

const QString Data = QStringLiteral("datafile/history.txt");

SetupHistory::What what(const QString &name)
{
    const QStringList names { "Read", "Download", "Unsaved", "Backup" };
    return SetupHistory::What(names.indexOf(name));
}

QDateTime at(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODate);
}

QStringList listed(const SetupHistory &history)
{
    QStringList names;
    for (const SetupHistory::Entry &e : history.entries(DeviceFamily::dravion()))
        names << QFileInfo(e.path).fileName();
    return names;
}

void touch(const QString &path, const QByteArray &bytes = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

TABLE_TEST(SetupHistory, NamesTellWhenWhatAndPortAndReadBack, "datafile/history.txt", "names")
{
    const QString name
        = SetupHistory::fileName(at(row["when"]), what(row["what"]), row["port"], row.number("sequence"));
    EXPECT_EQ(name, row["file name"]);
    const std::optional<SetupHistory::Entry> back = SetupHistory::parseName(name);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->when, at(row["when"]));
    EXPECT_EQ(back->what, what(row["what"]));
    EXPECT_EQ(back->sequence, row.number("sequence"));
}

TABLE_TEST(
    SetupHistory, KeepsUniqueNamesInOrderAndLetsTheOldestGoBeyondTheCapacity, "datafile/history.txt", "keep")
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("history"));
    SetupHistory history(folder, row.number("capacity"));
    QDir().mkpath(folder);
    QStringList foreign;
    for (const TableRow &f : tableRows(Data, QStringLiteral("foreign"))) {
        touch(QDir(folder).filePath(f[0]));
        foreign << f[0];
    }
    for (const QString &setup : row.words("setups")) {
        const QStringList parts = setup.split(QLatin1Char('/'));
        const SetupHistory::Kept kept
            = history.keep("Parameter <Equals> Value\r\n", what(parts[1]), parts[2], at(parts[0]));
        EXPECT_TRUE(kept.ok()) << kept.error.toStdString();
    }
    EXPECT_EQ(listed(history), row.words("files left"));
    for (const QString &f : foreign)
        EXPECT_TRUE(QFile::exists(QDir(folder).filePath(f))) << f.toStdString();
}

// Regression guard: a folder that cannot be made or written gives its reason as a value and leaves
// nothing behind, neither the setup nor a temporary file.
TEST(SetupHistory, AFolderThatCannotBeWrittenIsAnErrorAndLeavesNoFile)
{
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("history"));
    touch(blocker); // a file where the folder should be: even root cannot make it
    for (const QString &folder : { blocker, blocker + QStringLiteral("/deeper") }) {
        SCOPED_TRACE(folder.toStdString());
        SetupHistory history(folder);
        const SetupHistory::Kept kept = history.keep("x", SetupHistory::What::Read, QStringLiteral("Com1"));
        EXPECT_FALSE(kept.ok());
        EXPECT_FALSE(kept.error.isEmpty());
        EXPECT_TRUE(kept.path.isEmpty());
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList { "history" });

    // A name taken by something else (here a folder) is neither replaced nor joined by a partial file.
    const QString folder = dir.filePath(QStringLiteral("kept"));
    const QDateTime when = at(QStringLiteral("2026-12-07T14:15:03"));
    QDir().mkpath(QDir(folder).filePath(SetupHistory::fileName(when, SetupHistory::What::Read, "Com1")));
    const SetupHistory::Kept kept = SetupHistory(folder).keep("x", SetupHistory::What::Read, "Com1", when);
    EXPECT_FALSE(kept.ok());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TABLE_TEST(SetupHistory, ListsTheFamilysFactorAndPointsOfEachSetup, "datafile/history.txt", "listed")
{
    QTemporaryDir dir;
    SetupHistory history(dir.path());
    ASSERT_TRUE(
        history.keep(setupFile(row.words("entries")), SetupHistory::What::Read, QStringLiteral("Com1")).ok());
    const auto entries = history.entries(*DeviceFamily::byName(row["family"]));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].factor, row["factor"]);
    EXPECT_EQ(entries[0].points, row["points"]);
    EXPECT_EQ(entries[0].port, QStringLiteral("Com1"));
}
