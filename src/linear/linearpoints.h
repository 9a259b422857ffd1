// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QObject>
#include <QPointer>

#include "link/appcontext.h"

class QLineEdit;
class QRadioButton;
class SetupModel;
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
        SetupModel *setup = nullptr; // the window's setup, which holds the number of points
        QLineEdit *txtLinearPts = nullptr; // given the focus when the number is missing
        QRadioButton *Option2 = nullptr;
        std::function<void()> Option2_Click; // stops the live poll
        std::function<void(QWidget *)> windowCreated; // the main window keeps it in its resize
    };

    LinearPoints(Host host, AppContext &context, QObject *parent);
    void btnLinear_Click();
    frmLinearPoints *window(); // the linear points window, created on first use
    bool hasWindow() const { return !m_linear.isNull(); }
    // A point as if typed into its cell (column 0 the frequency or position, 1 the flow); the
    // window is created hidden for it.
    void enterPoint(int row, int column, const QString &text);

    // Marks every row among the first `count` whose point was never entered, showing the window
    // beside the main window when it is hidden. True when no point is missing.
    bool markMissingPoints(double count);

private:
    Host m_host;
    AppContext &m_context;
    QPointer<frmLinearPoints> m_linear;
};
