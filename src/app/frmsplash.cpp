// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmsplash.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {
constexpr const char *Site = "https://qrx-utility.example/";
}

const std::array<frmSplash::HotSpot, 7> &frmSplash::hotSpots()
{
    // Areas over the seven badges along the bottom of the picture (480 x 320).
    static const std::array<HotSpot, 7> spots = { {
        { QRect(14, 262, 58, 42), QUrl(QString::fromLatin1(Site) + QStringLiteral("docs/")) },
        { QRect(80, 262, 58, 42), QUrl(QString::fromLatin1(Site) + QStringLiteral("docs/setup.html")) },
        { QRect(146, 262, 58, 42),
            QUrl(QString::fromLatin1(Site) + QStringLiteral("docs/linear-points.html")) },
        { QRect(212, 262, 58, 42),
            QUrl(QString::fromLatin1(Site) + QStringLiteral("docs/calibration.html")) },
        { QRect(278, 262, 58, 42), QUrl(QString::fromLatin1(Site) + QStringLiteral("docs/data-files.html")) },
        { QRect(344, 262, 58, 42),
            QUrl(QString::fromLatin1(Site) + QStringLiteral("docs/line-monitor.html")) },
        { QRect(410, 262, 58, 42), QUrl(QString::fromLatin1(Site) + QStringLiteral("support/")) },
    } };
    return spots;
}

QString frmSplash::versionText(int major, int minor, int revision)
{
    return QStringLiteral("Software Version %1.%2%3").arg(major).arg(minor).arg(revision);
}

frmSplash::frmSplash(QWidget *parent, int splashMs)
    : QDialog(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    const QPixmap picture(QStringLiteral(":/images/splash.jpg"));
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("Image1"));
    m_image->setPixmap(picture);
    m_image->resize(picture.size());

    m_version = new QLabel(this);
    m_version->setObjectName(QStringLiteral("lblVersion"));
    m_version->setStyleSheet(QStringLiteral("color: rgb(128,128,128); background: transparent;"));
    m_version->setText(versionText(QRX_VERSION_MAJOR, QRX_VERSION_MINOR, QRX_VERSION_PATCH));
    m_version->adjustSize();
    m_version->move(picture.width() - m_version->width() - 16, 232);

    m_label1 = new QLabel(this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(0, 0, 40, 40);
    m_label1->setCursor(Qt::PointingHandCursor);
    m_label1->installEventFilter(this);

    for (int i = 0; i < int(hotSpots().size()); ++i) {
        auto *spot = new QLabel(this);
        spot->setObjectName(QStringLiteral("lblHotSpot%1").arg(i));
        spot->setGeometry(hotSpots()[i].area);
        spot->setToolTip(hotSpots()[i].address.toString());
        spot->setCursor(Qt::PointingHandCursor);
        spot->setProperty("hotSpot", i);
        spot->installEventFilter(this);
    }

    m_exit = new QPushButton(QStringLiteral("Exit"), this);
    m_exit->setObjectName(QStringLiteral("btnExit"));
    m_exit->adjustSize();
    m_exit->move(picture.width() - m_exit->width() - 16, 16);
    m_exit->hide();
    connect(m_exit, &QPushButton::clicked, this, &frmSplash::btnExit_Click);

    // Form_Resize: the window is exactly the size of its picture.
    setFixedSize(picture.size());

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("tmrSplash"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(splashMs);
    connect(m_timer, &QTimer::timeout, this, &frmSplash::tmrSplash_Timer);
    m_timer->start();

    m_openUrl = [](const QUrl &url) { QDesktopServices::openUrl(url); };
}

void frmSplash::showSplash()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - rect().center());
    setModal(false);
    show();
}

void frmSplash::showAbout()
{
    m_exit->show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    move(screen.center() - rect().center());
    exec();
}

void frmSplash::tmrSplash_Timer()
{
    // done() also ends the modal About display; the timer never runs again.
    done(QDialog::Accepted);
    m_timer->stop();
    m_timer->disconnect(this);
    if (m_mainWindow) {
        m_mainWindow->show();
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
}

void frmSplash::btnExit_Click()
{
    done(QDialog::Accepted);
    hide();
}

void frmSplash::openHotSpot(int index)
{
    if (index >= 0 && index < int(hotSpots().size()) && m_openUrl)
        m_openUrl(hotSpots()[index].address); // the outcome is deliberately ignored
}

bool frmSplash::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == m_label1) {
            Label1_Click();
            return true;
        }
        const QVariant spot = watched->property("hotSpot");
        if (spot.isValid()) {
            openHotSpot(spot.toInt());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
