// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;
class QTimer;

// Product picture with the version, shown at start-up for four seconds and again as About window.
class frmSplash final : public QDialog
{
    Q_OBJECT

public:
    struct HotSpot
    {
        QRect area;
        QUrl address;
    };
    // The seven brand hot spots and the web address each opens.
    static const std::array<HotSpot, 7> &hotSpots();
    // "Software Version 1.03" for version 1.0.3.
    static QString versionText(int major, int minor, int revision);

    static constexpr int SplashMs = 4000;

    // splashMs: how long the start-up splash stays; tests shorten it.
    explicit frmSplash(QWidget *parent = nullptr, int splashMs = SplashMs);

    // The window shown when the splash ends; brought to the front if it is already visible.
    void setMainWindow(QWidget *window) { m_mainWindow = window; }
    // Replaces the browser call, for tests.
    void setUrlOpener(std::function<void(const QUrl &)> opener) { m_openUrl = std::move(opener); }

    void showSplash();
    void showAbout(); // modal; returns when the user leaves it

    void tmrSplash_Timer();
    void Label1_Click() { tmrSplash_Timer(); }
    void btnExit_Click();
    void openHotSpot(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *m_image = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_label1 = nullptr;
    QPushButton *m_exit = nullptr;
    QTimer *m_timer = nullptr;
    QWidget *m_mainWindow = nullptr;
    std::function<void(const QUrl &)> m_openUrl;
};
