// SPDX-License-Identifier: GPL-3.0-or-later
// The setup history of both families' main windows: the backup before a download and its order on
// the wire, edits kept before they are discarded, a history that cannot be written, and the
// Setup History window. Rows in tests/data/app/history.txt.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "app/frmsetuphistory.h"
#include "app/historykeeper.h"
#include "app/setuphistorylist.h"
#include "datafile/datafilecommands.h"
#include "datafile/datafilereader.h"
#include "rigcase.h"
#include "transfer/frmcompare.h"

namespace {

// The window's history in a folder of the rig's own, with what the window holds now settled.
SetupHistory &freshHistory(Rig &r)
{
    SetupHistory &history = r.window->history().history();
    history.setFolder(r.dir.filePath(QStringLiteral("history")));
    r.window->history().settle();
    return history;
}

QStringList keptWhats(Rig &r)
{
    QStringList whats;
    for (const SetupHistory::Entry &e : r.window->history().history().entries(r.window->family()))
        whats << SetupHistory::whatName(e.what);
    return whats;
}

// Every "code=value" word is a line of the kept file at path.
void expectLines(const QString &path, const QStringList &lines)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const QStringList held = QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
    for (const QString &line : lines)
        EXPECT_TRUE(held.contains(line)) << line.toStdString() << " not in " << path.toStdString();
}

QString newest(Rig &r, SetupHistory::What what)
{
    for (const SetupHistory::Entry &e : r.window->history().history().entries(r.window->family()))
        if (e.what == what)
            return e.path;
    return QString();
}

QAction *action(Rig &r, const char *name)
{
    return r.window->findChild<QAction *>(QString::fromLatin1(name));
}

void expectTexts(const QStringList &told, const QStringList &wanted)
{
    ASSERT_EQ(told.size(), wanted.size()) << told.join(QLatin1Char('|')).toStdString();
    for (int i = 0; i < told.size(); ++i)
        EXPECT_TRUE(QRegularExpression(QRegularExpression::wildcardToRegularExpression(
                                           wanted[i], QRegularExpression::UnanchoredWildcardConversion))
                        .match(told[i])
                        .hasMatch())
            << told[i].toStdString() << " is not " << wanted[i].toStdString();
}

} // namespace

TABLE_TEST(SetupHistoryWindow, BackUpBeforeDownloadReadsTheWholeSetupBeforeTheFirstWrite, "app/history.txt",
    "backup")
{
    RigCase t(row["family"], row.words("device"), row.words("options"));
    Rig &r = *t;
    freshHistory(r);
    action(r, "mnuBackUp")->trigger();
    ASSERT_TRUE(r.window->history().backsUp());
    t.enter(row.words("entries"));
    if (row["answer"] != QLatin1String("-"))
        r.dialogs.answers.push_back(
            row["answer"] == QLatin1String("Yes") ? UserDialogs::Answer::Yes : UserDialogs::Answer::No);
    r.mark();
    t.press(QStringLiteral("btnDownload"));
    EXPECT_EQ(r.receivedSinceMark(), frameList(row.words("frames")))
        << wireMarkup(r.receivedSinceMark().join(QLatin1Char(' ')).toLatin1()).toStdString();
    expectTexts(r.dialogs.texts(), RigCase::texts(row["messages"]));
    EXPECT_EQ(keptWhats(r), row["kept"] == QLatin1String("-") ? QStringList() : row.words("kept"));
    if (row["backup lines"] != QLatin1String("-"))
        expectLines(newest(r, SetupHistory::What::Backup), row.words("backup lines"));
    t.expect(row.words("afterwards"));
    t.expectIdle();
}

TABLE_TEST(SetupHistoryWindow, EditsNeitherDownloadedNorSavedAreKeptBeforeTheyAreDiscarded, "app/history.txt",
    "unsaved")
{
    RigCase t(row["family"], row.words("device"), {});
    Rig &r = *t;
    freshHistory(r);
    t.enter(row.words("entries"));
    const QString saved = r.dir.filePath(QStringLiteral("saved.dat"));
    for (const QString &step : row.words("steps")) {
        if (step.contains(QLatin1Char('='))) {
            t.enter({ step });
        } else if (step == QLatin1String("save") || step == QLatin1String("open")) {
            r.dialogs.fileAnswers.push_back(saved);
            t.press(step == QLatin1String("save") ? QStringLiteral("mnuSave") : QStringLiteral("mnuOpen"));
        } else if (step == QLatin1String("exit")) {
            r.window->close();
        } else if (step == QLatin1String("historyOff")) {
            action(r, "mnuKeepHistory")->trigger();
            EXPECT_FALSE(r.window->history().keepsHistory());
            EXPECT_FALSE(HistoryKeeper::storedKeepsHistory()); // remembered for the next run
        } else {
            t.press(step);
        }
    }
    EXPECT_EQ(keptWhats(r), row["kept"] == QLatin1String("-") ? QStringList() : row.words("kept"));
    const auto entries = r.window->history().history().entries(r.window->family());
    if (!row["newest lines"].isEmpty() && !entries.empty())
        expectLines(entries.front().path, row.words("newest lines"));
    // No question was added to the described flow.
    for (const UserDialogs::Message &m : r.dialogs.messages)
        EXPECT_EQ(m.buttons, UserDialogs::Buttons::Ok) << m.text.toStdString();
}

// Nothing typed is lost: the unsaved setup opens back into the window and saves as it was.
TEST(SetupHistoryWindow, AnUnsavedSetupOpensBackAndSavesTheSameBytes)
{
    for (const QString &family : { QStringLiteral("Dravion"), QStringLiteral("MR") }) {
        SCOPED_TRACE(family.toStdString());
        RigCase t(family, {}, {});
        Rig &r = *t;
        freshHistory(r);
        t.enter({ QStringLiteral("plain"), QStringLiteral("txtLinearPts=2"),
            QStringLiteral("frmLinearPoints=1"), QStringLiteral("txtFreq0=10"),
            QStringLiteral("txtCoef0=1.5"), QStringLiteral("txtFreq1=20"), QStringLiteral("txtCoef1=2.5") });
        t.press(QStringLiteral("mnuClear"));
        const QString unsaved = newest(r, SetupHistory::What::Unsaved);
        ASSERT_FALSE(unsaved.isEmpty());
        r.dialogs.fileAnswers.push_back(unsaved);
        t.press(QStringLiteral("mnuOpen"));
        const QString saved = r.dir.filePath(QStringLiteral("saved.dat"));
        r.dialogs.fileAnswers.push_back(saved);
        t.press(QStringLiteral("mnuSave"));
        QFile a(saved), b(unsaved);
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        EXPECT_EQ(a.readAll(), b.readAll());
        EXPECT_EQ(keptWhats(r), QStringList { "unsaved" });
    }
}

// A history that cannot be written never shows a box and never stops the transfer; the status
// bar says it once, until a setup is kept again.
TEST(SetupHistoryWindow, AFailedHistoryWriteIsToldOnceInTheStatusBar)
{
    RigCase t(QStringLiteral("Dravion"), { QStringLiteral("known") }, {});
    Rig &r = *t;
    SetupHistory &history = freshHistory(r);
    const QString blocker = r.dir.filePath(QStringLiteral("blocker"));
    writeFile(blocker, "x");
    history.setFolder(blocker);
    t.press(QStringLiteral("btnRead"));
    EXPECT_EQ(r.dialogs.texts(), QStringList { "Read Successful" });
    EXPECT_TRUE(r.window->statusText().startsWith(QStringLiteral("Status:  Setup history not kept: ")))
        << r.window->statusText().toStdString();
    EXPECT_EQ(r.shown(QStringLiteral("txtDamping")), QStringLiteral("7"));

    t.enter({ QStringLiteral("txtDamping=9") }); // kept as unsaved before the read: fails again
    t.press(QStringLiteral("btnRead"));
    EXPECT_EQ(r.window->statusText(), QStringLiteral("Status:  Read Successful"));

    history.setFolder(r.dir.filePath(QStringLiteral("history")));
    t.press(QStringLiteral("btnRead"));
    history.setFolder(blocker);
    t.press(QStringLiteral("btnDownload"));
    EXPECT_TRUE(r.window->statusText().startsWith(QStringLiteral("Status:  Setup history not kept: ")));
    EXPECT_EQ(r.dialogs.texts().size(), 4);
}

// After two reads and a download the window lists three setups newest first; Open loads one as
// Open Data File does, Compare reads the device beside it, Delete asks and removes it.
TEST(SetupHistoryWindow, ListsOpensComparesAndDeletesKeptSetups)
{
    RigCase t(QStringLiteral("Dravion"), { QStringLiteral("known") }, {});
    Rig &r = *t;
    freshHistory(r);
    t.press(QStringLiteral("btnRead"));
    t.press(QStringLiteral("btnRead"));
    t.enter({ QStringLiteral("txtDamping=4") });
    t.press(QStringLiteral("btnDownload"));
    action(r, "mnuSetupHistory")->trigger();
    frmSetupHistory *w = r.window->historyWindow();
    ASSERT_TRUE(w && w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Setup History"));
    QTableWidget *table = w->table();
    ASSERT_EQ(table->rowCount(), 3);
    QStringList column;
    for (int row = 0; row < 3; ++row)
        column << table->item(row, 1)->text() + QLatin1Char('/') + table->item(row, 2)->text()
                + QLatin1Char('/') + table->item(row, 3)->text() + QLatin1Char('/')
                + table->item(row, 4)->text();
    EXPECT_EQ(column, QStringList({ "Download/Com1/1234.5/3", "Read/Com1/1234.5/3", "Read/Com1/1234.5/3" }));
    EXPECT_EQ(table->horizontalHeaderItem(3)->text(), QStringLiteral("K Factor"));

    r.dialogs.clear();
    table->selectRow(1);
    const QString path = r.window->historyList().path(1);
    w->findChild<QPushButton *>(QStringLiteral("btnOpen"))->click();
    EXPECT_EQ(r.window->statusText(), QStringLiteral("Status:  Opened-->  ") + QFileInfo(path).fileName());
    EXPECT_EQ(r.shown(QStringLiteral("txtDamping")), QStringLiteral("7"));
    EXPECT_TRUE(r.dialogs.messages.empty()); // the downloaded setup was settled: nothing to keep

    r.mark();
    w->findChild<QPushButton *>(QStringLiteral("btnCompare"))->click();
    EXPECT_EQ(r.receivedSinceMark().size(),
        frameList(words(QStringLiteral("V I 3i 4i 8i 9f 11i 15f 16f 100i 7f +points"))).size());
    auto *compare = r.window->findChild<frmCompare *>();
    ASSERT_TRUE(compare);
    EXPECT_EQ(compare->table()->horizontalHeaderItem(1)->text(), QStringLiteral("Kept Setup"));
    delete compare;

    // A corrupt kept file is told as Open Data File tells it.
    writeFile(path, "Parameter <Equals> Value\r\n3=99\r\n");
    r.dialogs.clear();
    w->findChild<QPushButton *>(QStringLiteral("btnOpen"))->click();
    EXPECT_EQ(r.dialogs.texts(), QStringList { "Opening File Error!" });

    r.dialogs.clear();
    r.dialogs.answers = { UserDialogs::Answer::No, UserDialogs::Answer::Yes };
    w->findChild<QPushButton *>(QStringLiteral("btnDelete"))->click();
    EXPECT_EQ(table->rowCount(), 3);
    w->findChild<QPushButton *>(QStringLiteral("btnDelete"))->click();
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_FALSE(QFile::exists(path));
    ASSERT_EQ(r.dialogs.messages.size(), 2u);
    EXPECT_EQ(r.dialogs.messages[0].buttons, UserDialogs::Buttons::YesNo);
}
