#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/frmsplash.h"

TEST(Splash, VersionTextJoinsMinorAndRevision)
{
    EXPECT_EQ(frmSplash::versionText(1, 0, 3), "Software Version 1.03");
    EXPECT_EQ(frmSplash::versionText(2, 1, 0), "Software Version 2.10");
    frmSplash splash;
    EXPECT_EQ(splash.findChild<QLabel *>("lblVersion")->text(), "Software Version 1.03");
}

TEST(Splash, WindowIsExactlyThePictureSize)
{
    frmSplash splash;
    const QPixmap picture = splash.findChild<QLabel *>("Image1")->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(splash.size(), picture.size());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
}

TEST(Splash, TimerShowsTheMainWindowOnceAfterFourSeconds)
{
    QWidget main;
    frmSplash splash;
    splash.setMainWindow(&main);
    splash.showSplash();
    auto *timer = splash.findChild<QTimer *>("tmrSplash");
    ASSERT_TRUE(timer);
    EXPECT_EQ(timer->interval(), 4000);
    QTest::qWait(3500);
    EXPECT_FALSE(main.isVisible());
    EXPECT_TRUE(splash.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(main.isVisible(), 1500);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(timer->isActive());
    main.hide();
    QTest::qWait(4100); // it fires at most once
    EXPECT_FALSE(main.isVisible());
}

TEST(Splash, TopLeftHotSpotEndsTheSplashAtOnce)
{
    QWidget main;
    frmSplash splash;
    splash.setMainWindow(&main);
    splash.showSplash();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    QTest::mouseClick(splash.findChild<QLabel *>("Label1"), Qt::LeftButton);
    EXPECT_TRUE(main.isVisible());
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(splash.findChild<QTimer *>("tmrSplash")->isActive());
}

TEST(Splash, HotSpotsOpenTheirAddressAndShowItAsTooltip)
{
    frmSplash splash;
    QList<QUrl> opened;
    splash.setUrlOpener([&](const QUrl &url) { opened << url; });
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    for (int i = 0; i < 7; ++i) {
        auto *spot = splash.findChild<QLabel *>(QStringLiteral("lblHotSpot%1").arg(i));
        ASSERT_TRUE(spot);
        EXPECT_EQ(spot->toolTip(), frmSplash::hotSpots()[i].address.toString());
        EXPECT_TRUE(spot->text().isEmpty());
        QTest::mouseClick(spot, Qt::LeftButton);
    }
    ASSERT_EQ(opened.size(), 7);
    EXPECT_EQ(QSet<QUrl>(opened.begin(), opened.end()).size(), 7);
}

TEST(Splash, AboutStaysUntilExitAndCanBeOpenedAgain)
{
    QWidget main;
    frmSplash splash;
    splash.setMainWindow(&main);
    splash.Label1_Click(); // start-up is over
    for (int round = 0; round < 2; ++round) {
        bool wasOpenLater = false;
        bool exitVisible = false;
        QTimer::singleShot(300, [&] {
            wasOpenLater = splash.isVisible() && QApplication::activeModalWidget() == &splash;
            auto *exit = splash.findChild<QPushButton *>("btnExit");
            exitVisible = exit->isVisible();
            QTest::mouseClick(exit, Qt::LeftButton);
        });
        QTimer watchdog;
        watchdog.setSingleShot(true);
        QObject::connect(&watchdog, &QTimer::timeout, &splash, [&] { splash.reject(); });
        watchdog.start(5000);
        splash.showAbout();
        EXPECT_TRUE(watchdog.isActive()) << "About closed only by the watchdog";
        EXPECT_TRUE(wasOpenLater);
        EXPECT_TRUE(exitVisible);
        EXPECT_FALSE(splash.isVisible());
        EXPECT_EQ(splash.findChild<QLabel *>("lblVersion")->text(), "Software Version 1.03");
    }
}
