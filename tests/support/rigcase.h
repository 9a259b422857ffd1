// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMap>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include "app/mainwindowshell.h"
#include "linear/frmlinearpoints.h"
#include "linear/linearpoints.h"
#include "params/mainwindowcontrols.h"
#include "rig.h"
#include "table.h"
#include "transfer/setuptransfer.h"

// A Rig built from table words and the probes rows name; shared names come from the [devices]
// (family | name | values), [setups] (family | name | entries) and [configs] tables of transfer.txt.
struct RigCase
{
    std::unique_ptr<Rig> rig;
    QMap<QString, QString> seen; // what a row's hook saw while the transfer ran

    // device: names from [devices] and code=value words; options: qrx-sim options, "linked", "config=name".
    RigCase(const QString &family, const QStringList &device, const QStringList &options, bool onPty = false)
    {
        std::map<int, double> values;
        for (const QString &w : lookup(QStringLiteral("devices"), "values", family, device)) {
            const int eq = int(w.indexOf(QLatin1Char('=')));
            values[w.left(eq).toInt()] = w.mid(eq + 1).toDouble();
        }
        rig = std::make_unique<Rig>(family, values);
        // Words starting "--" are qrx-sim's own options; the others are the rig's or a row's hooks.
        QString error;
        if (const auto o = SimOptions::parse(
                rig->options.toArguments() + options.filter(QRegularExpression("^--")), &error))
            rig->options = *o;
        else
            ADD_FAILURE() << error.toStdString();
        if (options.contains(QStringLiteral("linked")))
            rig->options.linkPath = rig->dir.filePath(QStringLiteral("device"));
        for (const TableRow &r :
            tableRows(QStringLiteral("transfer/transfer.txt"), QStringLiteral("configs")))
            if (options.contains(QStringLiteral("config=") + r["name"]))
                rig->configEdits << r["configuration line"];
        if (!rig->start(onPty))
            ADD_FAILURE() << rig->error.toStdString();
        if (!rig->options.linkPath.isEmpty())
            rig->link->setPortResolver([path = rig->options.linkPath](int) { return path; });
    }

    // Names from the family's rows of a shared table, expanded to their words; other words as they are.
    QStringList lookup(const QString &table, const char *column, const QString &family, const QStringList &ws)
    {
        QStringList out;
        for (const QString &w : ws) {
            if (w.contains(QLatin1Char('='))) {
                out << w;
                continue;
            }
            for (const TableRow &r : tableRows(QStringLiteral("transfer/transfer.txt"), table))
                if (r["family"] == family && r["name"] == w)
                    out << lookup(table, column, family, r.words(column));
        }
        return out;
    }

    Rig &operator*() { return *rig; }
    Rig *operator->() { return rig.get(); }

    // "ptN=freq/flow" fills a point's records; a button named with any value is clicked; any
    // other name goes to Rig::set. Names from [setups] expand to their entries.
    void enter(const QStringList &ws)
    {
        for (const QString &w : lookup(QStringLiteral("setups"), "entries", rig->options.family, ws)) {
            const QString name = w.section(QLatin1Char('='), 0, 0), value = w.section(QLatin1Char('='), 1);
            if (name.startsWith(QLatin1String("pt"))) {
                const size_t i = name.mid(2).toUInt();
                rig->state.LinFreqItems[i].value = qint16(value.section(QLatin1Char('/'), 0, 0).toInt());
                rig->state.LinFlowItems[i].value = value.section(QLatin1Char('/'), 1).toFloat();
            } else if (name == QLatin1String("frmLinearPoints")) {
                rig->window->linearPoints().window()->show();
            } else if (auto *b = rig->window->findChild<QAbstractButton *>(name)) {
                b->click();
            } else {
                rig->set(name, value);
            }
        }
    }

    // Presses a button or triggers a menu entry by its object name.
    void press(const QString &name)
    {
        if (auto *b = rig->window->findChild<QAbstractButton *>(name))
            b->click();
        else if (auto *a = rig->window->findChild<QAction *>(name))
            a->trigger();
        else
            ADD_FAILURE() << "nothing to press named " << name.toStdString();
    }

    QString probe(const QString &name)
    {
        Rig &r = *rig;
        const QString prop = name.section(QLatin1Char('.'), 1);
        const QString base = name.section(QLatin1Char('.'), 0, 0);
        if (!prop.isEmpty()) {
            QObject *o = r.window->findChild<QObject *>(base);
            if (!o)
                o = r.window->linearPoints().window()->findChild<QObject *>(base);
            auto *w = qobject_cast<QWidget *>(o);
            auto *a = qobject_cast<QAction *>(o);
            auto *b = qobject_cast<QAbstractButton *>(o);
            auto *timer = qobject_cast<QTimer *>(o);
            bool v = false;
            if (prop == QLatin1String("hidden"))
                v = w && w->isHidden();
            else if (prop == QLatin1String("enabled"))
                v = w ? w->isEnabled() : a && a->isEnabled();
            else if (prop == QLatin1String("checked"))
                v = b && b->isChecked();
            else if (prop == QLatin1String("visible"))
                v = w && w->isVisible();
            else if (prop == QLatin1String("active"))
                v = timer && timer->isActive();
            return QString::number(int(v));
        }
        if (seen.contains(name))
            return seen.value(name);
        if (name.startsWith(QLatin1String("pt")))
            return QStringLiteral("%1/%2")
                .arg(r.state.LinFreqItems[name.mid(2).toUInt()].value)
                .arg(double(r.state.LinFlowItems[name.mid(2).toUInt()].value));
        if (name.startsWith(QLatin1String("dev")))
            return QString::number(r.deviceValue(name.mid(3).toInt()));
        frmProgress *progress = r.window->transfer().progressWindow();
        QString hz;
        for (QLabel *digit : r.c().lblInputHz)
            hz += digit->text();
        const QMap<QString, QString> values { { "OutputType", QString::number(r.state.OutputType) },
            { "CommAbort", QString::number(int(r.state.CommAbort)) },
            { "PollingOn", QString::number(int(r.state.PollingOn)) },
            { "percents", r.percents.join(QLatin1Char(',')) }, { "percent", progress->percent() },
            { "status", r.window->statusText() },
            { "bar", QString::number(progress->ProgressBar1()->value()) }, { "hz", hz } };
        return values.contains(name) ? values.value(name) : r.shown(name);
    }

    // Each "name=value" word holds ('_' stands for a space; '?' and '[..]' as in a file pattern).
    void expect(const QStringList &ws)
    {
        for (const QString &w : ws) {
            const QString name = w.section(QLatin1Char('='), 0, 0);
            const QString want = w.section(QLatin1Char('='), 1).replace(QLatin1Char('_'), QLatin1Char(' '));
            const QString got = probe(name);
            if (want.contains(QLatin1Char('?')) || want.contains(QLatin1Char('[')))
                EXPECT_TRUE(QRegularExpression(QRegularExpression::wildcardToRegularExpression(want))
                                .match(got)
                                .hasMatch())
                    << name.toStdString() << " shows " << got.toStdString();
            else
                EXPECT_EQ(got, want) << name.toStdString();
        }
    }

    // Message texts as a row gives them: ';' between texts, TIMEOUT for the time-out message.
    static QStringList texts(const QString &cell)
    {
        QStringList out;
        for (const QString &t : cell.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            out << (t.trimmed() == QLatin1String("TIMEOUT") ? LinkEngine::timeoutMessage()
                                                            : QString::fromLatin1(wireBytes(t.trimmed())));
        return out;
    }

    // Both transfer buttons back, no progress window, the latch clear.
    void expectIdle()
    {
        EXPECT_TRUE(rig->c().btnRead->isEnabled());
        EXPECT_TRUE(rig->c().btnDownload->isEnabled());
        EXPECT_FALSE(rig->window->transfer().progressWindow()->isVisible());
        EXPECT_FALSE(rig->state.CommAbort);
        EXPECT_FALSE(rig->state.TransferRunning);
    }
};

// Frame bodies as rows give them; "+points" stands for the ten linear point pairs Read Setup asks for.
inline QStringList frameList(const QStringList &ws)
{
    QString bodies;
    for (const QString &w : ws) {
        if (w == QLatin1String("+points")) {
            for (int i = 0; i < 10; ++i)
                bodies += QStringLiteral(" %1i %2f").arg(101 + 2 * i).arg(102 + 2 * i);
        } else if (w != QLatin1String("-")) {
            bodies += QLatin1Char(' ') + w;
        }
    }
    return frames(bodies);
}
