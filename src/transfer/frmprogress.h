// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class DeviceState;
class QLabel;
class QProgressBar;
class QPushButton;

// The small modeless window a transfer runs under: a bar, its percentage and Cancel.
class frmProgress final : public QWidget
{
    Q_OBJECT

public:
    explicit frmProgress(DeviceState &state, QWidget *owner);

    QProgressBar *ProgressBar1() const { return m_bar; }
    QLabel *lblPercent() const { return m_percent; }
    QPushButton *btnCancel() const { return m_cancel; }

    // Sets the percentage text; the bar follows through lblPercent_Change.
    void setPercent(const QString &text);
    QString percent() const;

    // Shows the window modeless with the operation as caption, centred over its owner.
    void showFor(const QString &caption);
    // Closes the window at the end of a transfer, without counting as a Cancel.
    void finish();

    void lblPercent_Change();
    void btnCancel_Click();

Q_SIGNALS:
    void percentChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    DeviceState &m_state;
    QWidget *m_owner = nullptr;
    QProgressBar *m_bar = nullptr;
    QLabel *m_percent = nullptr;
    QPushButton *m_cancel = nullptr;
    bool m_finishing = false;
};
