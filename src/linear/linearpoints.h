// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

#include "link/appcontext.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class frmLinearPoints;

// Opens and closes the linear points window from the main window's button.
class LinearPoints final : public QObject
{
    Q_OBJECT

public:
    // What the button needs of the main window it sits on; each device family's window gives its own.
    struct Host
    {
        QWidget *mainWindow = nullptr; // owner and position reference of the points window
        QLineEdit *txtLinearPts = nullptr;
        QLabel *lblLinearPtsE = nullptr;
        QRadioButton *Option2 = nullptr;
        std::function<void()> Option2_Click; // stops the live poll
        std::function<void(QWidget *)> windowCreated; // the main window keeps it in its resize
    };

    LinearPoints(Host host, AppContext &context, QObject *parent);
    void btnLinear_Click();
    frmLinearPoints *window(); // the linear points window, created on first use
    bool hasWindow() const { return !m_linear.isNull(); }

    // Marks every row among the first `count` whose point was never entered, showing the window
    // beside the main window when it is hidden. True when no point is missing.
    bool markMissingPoints(double count);

private:
    Host m_host;
    AppContext &m_context;
    QPointer<frmLinearPoints> m_linear;
};
