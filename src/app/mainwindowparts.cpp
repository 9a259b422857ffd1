// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindowparts.h"

#include <QDate>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTime>
#include <QTimer>

#include "app/frmassignports.h"
#include "app/portassignments.h"
#include "app/settingsstore.h"
#include "params/screenfit.h"
#include "params/twips.h"

namespace MainWindowParts {

namespace {

    template <typename T> T *named(T *object, const QString &name)
    {
        object->setObjectName(name);
        return object;
    }

} // namespace

void buildFrequencyFrame(QMainWindow *window, const FrequencyFrame &f)
{
    f.Frame4 = named(new QGroupBox(QStringLiteral("Frequency")), QStringLiteral("Frame4"));
    auto *row = new QHBoxLayout(f.Frame4);
    f.Label2 = named(new QLabel(QStringLiteral("Monitor")), QStringLiteral("Label2"));
    f.Option1 = named(new QRadioButton(QStringLiteral("On")), QStringLiteral("Option1"));
    f.Option2 = named(new QRadioButton(QStringLiteral("Off")), QStringLiteral("Option2"));
    f.Option2->setChecked(true);
    f.Label2->setBuddy(f.Option1);
    row->addWidget(f.Label2);
    row->addWidget(f.Option1);
    row->addWidget(f.Option2);
    row->addStretch();
    QFont digits(QStringLiteral("Monospace"));
    digits.setStyleHint(QFont::TypeWriter);
    digits.setPointSize(16);
    digits.setBold(true);
    for (std::size_t i = 0; i < f.lblInputHz.size(); ++i) {
        auto *label = named(new QLabel(QStringLiteral("0")), QStringLiteral("lblInputHz%1").arg(i));
        label->setFont(digits);
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumWidth(24);
        f.lblInputHz[i] = label;
        row->addWidget(label);
    }
    f.Label4 = named(new QLabel(QStringLiteral("Hz")), QStringLiteral("Label4"));
    row->addWidget(f.Label4);
    f.tmrPolling = named(new QTimer(window), QStringLiteral("tmrPolling"));
    f.tmrPolling->setInterval(400);
}

void buildStatusBar(QMainWindow *window, const StatusBar &b)
{
    b.StatusBar1 = window->statusBar();
    b.StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    b.statusPanel1 = named(new QLabel(QStringLiteral("Status:")), QStringLiteral("statusPanel1"));
    b.statusPanel2 = named(new QLabel, QStringLiteral("statusPanel2"));
    b.statusPanel3 = named(new QLabel, QStringLiteral("statusPanel3"));
    b.StatusBar1->addWidget(b.statusPanel1, 1);
    b.StatusBar1->addPermanentWidget(b.statusPanel2);
    b.StatusBar1->addPermanentWidget(b.statusPanel3);
    QLabel *date = b.statusPanel2;
    QLabel *time = b.statusPanel3;
    auto update = [date, time] {
        date->setText(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
        time->setText(QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
    };
    auto *clock = new QTimer(window);
    QObject::connect(clock, &QTimer::timeout, window, update);
    clock->start(1000);
    update();
}

int rememberedPort()
{
    // The window's port number is a 16-bit one.
    const int port = SettingsStore::rememberedPort();
    return port >= -32768 && port <= 32767 ? port : 1;
}

void centreOnScreen(QMainWindow *window, int minimumWidth)
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    window->resize(window->sizeHint().expandedTo(QSize(minimumWidth, 0)));
    window->move(screen.center() - QPoint(window->width() / 2, window->height() / 2));
}

void storeSettings(const QMainWindow *window, int port)
{
    if (window->isMinimized())
        return;
    auto settings = SettingsStore::open();
    const QRect frame = window->frameGeometry();
    settings->setValue(QStringLiteral("Settings/MainLeft"), QString::number(Twips::fromPixels(frame.left())));
    settings->setValue(QStringLiteral("Settings/MainTop"), QString::number(Twips::fromPixels(frame.top())));
    settings->setValue(QStringLiteral("Settings/ComPort"), QString::number(port));
}

bool assignPorts(QWidget *parent, int comCount)
{
    PortAssignments model(comCount, PortAssignments::thisMachine());
    model.load();
    frmAssignPorts dialog(model, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.collect();
    model.store();
    return true;
}

void moveCompanions(const QMainWindow *window, QWidget *linearPoints, QWidget *lineMonitor)
{
    if (!linearPoints || !linearPoints->isVisible())
        return;
    const QRect frame = window->frameGeometry();
    linearPoints->move(frame.left() + Twips::toPixels(180), frame.top() + Twips::toPixels(800));
    ScreenFit::keepOnScreen(linearPoints);
    if (lineMonitor) {
        lineMonitor->move(frame.left() + frame.width(), lineMonitor->frameGeometry().top());
        ScreenFit::keepOnScreen(lineMonitor);
    }
}

} // namespace MainWindowParts
