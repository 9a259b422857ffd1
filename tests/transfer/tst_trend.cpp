// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency trend: its statistics, lines and CSV (rows in tests/data/transfer/trend.txt), and
// its window listening to the main window's poll.

#include <ctime>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/mainwindowshell.h"
#include "fakeuserdialogs.h"
#include "params/mainwindowcontrols.h"
#include "rig.h"
#include "table.h"
#include "transfer/frequencytrend.h"
#include "transfer/frmfrequencytrend.h"

namespace {

const QString Data = QStringLiteral("transfer/trend.txt");

// "0:10 400:20 / 800:30": readings at ms:hz, "/" for a poll that gave nothing.
void feed(FrequencyTrend &trend, const QStringList &words)
{
    for (const QString &w : words) {
        if (w == QLatin1String("/"))
            trend.breakLine();
        else
            trend.add(
                w.section(QLatin1Char(':'), 0, 0).toLongLong(), w.section(QLatin1Char(':'), 1).toDouble());
    }
}

QString markup(const QList<QList<QPointF>> &lines)
{
    QStringList words;
    for (const QList<QPointF> &line : lines) {
        if (!words.isEmpty())
            words << QStringLiteral("/");
        for (const QPointF &p : line)
            words << QStringLiteral("%1:%2").arg(qint64(p.x())).arg(p.y());
    }
    return words.join(QLatin1Char(' '));
}

} // namespace

TABLE_TEST(FrequencyTrend, StatisticsOverTheSpanAsTheLabelsShowThem, Data, "statistics")
{
    FakeUserDialogs dialogs;
    FrequencyTrend trend(dialogs);
    feed(trend, row.words("readings"));
    trend.setSpanMinutes(row.number("span"));
    const FrequencyTrend::Statistics s = trend.statistics(row["end"].toLongLong());
    const QStringList shown { FrequencyTrend::digitsText(s, s.now), FrequencyTrend::digitsText(s, s.min),
        FrequencyTrend::digitsText(s, s.max), FrequencyTrend::decimalText(s, s.mean),
        FrequencyTrend::decimalText(s, s.stdDev) };
    EXPECT_EQ(shown, row.words("shown"));
}

TABLE_TEST(FrequencyTrend, LinesLeaveGapsAndKeepEachColumnsExtremes, Data, "lines")
{
    FakeUserDialogs dialogs;
    FrequencyTrend trend(dialogs);
    feed(trend, row.words("readings"));
    trend.setSpanMinutes(row.number("span"));
    EXPECT_EQ(markup(trend.lines(row["end"].toLongLong(), row.number("columns"))), row["lines"]);
}

TEST(FrequencyTrend, KeepsAnHourAtMostAndPauseFreezesTheView)
{
    FakeUserDialogs dialogs;
    FrequencyTrend trend(dialogs);
    qint64 now = 0;
    trend.setClock([&now] { return now; });
    for (int i = 0; i < 20000; ++i, now += 400) // over two hours of polls
        trend.addNow(250);
    EXPECT_LE(trend.readings().size(), size_t(FrequencyTrend::KeptMs / 400 + 1));
    EXPECT_GE(trend.readings().front().atMs, trend.readings().back().atMs - FrequencyTrend::KeptMs);
    for (int i = 0; i < 3 * FrequencyTrend::MaxReadings; ++i, ++now) // far faster than any poll
        trend.addNow(250);
    EXPECT_EQ(trend.readings().size(), size_t(FrequencyTrend::MaxReadings));

    trend.setPaused(true);
    const qint64 pausedAt = now;
    now += 5000;
    trend.addNow(300); // recorded, not shown
    EXPECT_EQ(trend.viewEnd(), pausedAt);
    EXPECT_EQ(trend.statistics(trend.viewEnd()).max, 250);
    trend.setPaused(false);
    EXPECT_EQ(trend.statistics(trend.viewEnd()).max, 300);
}

TEST(FrequencyTrend, CsvRowsCountSecondsFromTheFirstReadingAndExportWhole)
{
    qputenv("TZ", "Europe/Berlin");
    tzset();
    FakeUserDialogs dialogs;
    FrequencyTrend trend(dialogs);
    const qint64 t0 = 1700000000123; // 2023-11-14 22:13:20.123 UTC
    trend.add(t0, 250);
    trend.add(t0 + 400, 251);
    EXPECT_EQ(trend.csv(),
        QStringLiteral("Time,Seconds,Hz\r\n"
                       "2023-11-14T23:13:20.123+01:00,0.000,250\r\n"
                       "2023-11-14T23:13:20.523+01:00,0.400,251\r\n"));
    // Once the first readings have aged out, the seconds still count from the first one.
    trend.add(t0 + 61 * 60 * 1000, 252);
    EXPECT_EQ(
        trend.csv(), QStringLiteral("Time,Seconds,Hz\r\n2023-11-15T00:14:20.123+01:00,3660.000,252\r\n"));
    trend.clear();
    trend.add(t0, 7);
    EXPECT_TRUE(trend.csv().endsWith(QStringLiteral(",0.000,7\r\n")));

    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("trend.csv"));
    const QString missingFolder = dir.filePath(QStringLiteral("none/trend.csv"));
    dialogs.fileAnswers = { good, dir.path(), missingFolder, std::nullopt };
    for (int i = 0; i < 4; ++i)
        trend.exportCsv();
    QFile written(good);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(written.readAll()), trend.csv());
    ASSERT_EQ(dialogs.messages.size(), 2u); // the folder and the missing folder; a cancel says nothing
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(
        QStringLiteral("Unable to export the readings to ") + dir.path()));
    EXPECT_TRUE(dialogs.messages[1].text.startsWith(
        QStringLiteral("Unable to export the readings to ") + missingFolder));
    EXPECT_EQ(dialogs.messages[1].icon, UserDialogs::Icon::Critical);
    EXPECT_EQ(dialogs.fileDialogs.at(0).filter, QStringLiteral("CSV File (*.csv)"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "trend.csv" });
}

// The window opened from the Tools menu of either family follows the poll without driving it.
TEST(FrequencyTrendWindow, ListensToThePollAndShowsAStopAsAGap)
{
    for (const QString &family : { QStringLiteral("Dravion"), QStringLiteral("MR") }) {
        SCOPED_TRACE(family.toStdString());
        Rig r(family);
        ASSERT_TRUE(r.start()) << r.error.toStdString();
        QMenu *tools = r.c().mnuTools;
        auto *trend = tools->findChild<QAction *>(QStringLiteral("mnuFrequencyTrend"));
        ASSERT_TRUE(trend);
        EXPECT_EQ(trend->text(), QStringLiteral("&Frequency Trend..."));

        trend->trigger();
        frmFrequencyTrend *w = r.window->trendWindow();
        ASSERT_TRUE(w && w->isVisible());
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Frequency Trend"));
        auto *off = w->findChild<QLabel *>(QStringLiteral("lblOff"));
        EXPECT_TRUE(off->isVisible());
        EXPECT_EQ(off->text(), QStringLiteral("Frequency Monitor is Off"));
        EXPECT_FALSE(r.c().tmrPolling->isActive()); // opening it started nothing

        r.c().Option1->click();
        r.c().tmrPolling->stop(); // polls by hand
        EXPECT_FALSE(off->isVisible());
        r.window->poll().tmrPolling_Timer();
        r.window->poll().tmrPolling_Timer();
        QString digits;
        for (QLabel *l : r.c().lblInputHz)
            digits += l->text();
        EXPECT_EQ(w->findChild<QLabel *>(QStringLiteral("lblNow"))->text(),
            QStringLiteral("Now: %1 Hz").arg(digits));

        r.c().Option2->click();
        EXPECT_TRUE(off->isVisible());
        r.c().Option1->click();
        r.c().tmrPolling->stop();
        r.window->poll().tmrPolling_Timer();
        const std::vector<QLineSeries *> lines = w->shownLines();
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0]->count(), 2);
        EXPECT_EQ(lines[1]->count(), 1);
        for (QLineSeries *line : lines) {
            for (const QPointF &p : line->points())
                EXPECT_GT(p.y(), 100); // no line down to zero across the stop
        }
        EXPECT_EQ(r.window->trend().readings().size(), 3u);

        w->findChild<QPushButton *>(QStringLiteral("btnClear"))->click();
        EXPECT_TRUE(w->shownLines().empty());
        EXPECT_EQ(w->findChild<QLabel *>(QStringLiteral("lblNow"))->text(), QStringLiteral("Now: - Hz"));

        const QString image = r.dir.filePath(QStringLiteral("trend.png"));
        r.dialogs.fileAnswers = { image, r.dir.filePath(QStringLiteral("none/trend.png")) };
        w->btnSaveImage_Click();
        w->btnSaveImage_Click();
        EXPECT_TRUE(QImage(image).width() > 100);
        ASSERT_EQ(r.dialogs.messages.size(), 1u);
        EXPECT_TRUE(r.dialogs.messages[0].text.startsWith(QStringLiteral("Unable to save the image to ")));
        EXPECT_FALSE(QFile::exists(r.dir.filePath(QStringLiteral("none"))));
    }
}
