// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

class QGroupBox;
class QLabel;
class QMainWindow;
class QRadioButton;
class QStatusBar;
class QTimer;
class QWidget;

// What both families' main windows have alike: the frequency frame, the status bar with its clock,
// the remembered port, the position they open at and store on closing, and the companions that
// follow them.
namespace MainWindowParts {

struct FrequencyFrame
{
    QGroupBox *&Frame4;
    QLabel *&Label2;
    QRadioButton *&Option1;
    QRadioButton *&Option2;
    std::array<QLabel *, 4> &lblInputHz;
    QLabel *&Label4;
    QTimer *&tmrPolling;
};

struct StatusBar
{
    QStatusBar *&StatusBar1;
    QLabel *&statusPanel1;
    QLabel *&statusPanel2;
    QLabel *&statusPanel3;
};

void buildFrequencyFrame(QMainWindow *window, const FrequencyFrame &frame);
// Panel 1 reads "Status:" until a status is written; panels 2 and 3 keep the date and time current.
void buildStatusBar(QMainWindow *window, const StatusBar &bar);

// The stored "ComPort"; a text that is no 16-bit number must not stop start-up, so it gives 1.
int rememberedPort();
void centreOnScreen(QMainWindow *window, int minimumWidth);
// "MainLeft", "MainTop" (twips) and "ComPort", unless the window is minimised.
void storeSettings(const QMainWindow *window, int port);
// "&Assign Serial Ports..." for Com 1 to comCount; true when the user stored new assignments.
bool assignPorts(QWidget *parent, int comCount);
// While the linear points window is visible it and the line monitor follow a resized main window.
void moveCompanions(const QMainWindow *window, QWidget *linearPoints, QWidget *lineMonitor);

} // namespace MainWindowParts
