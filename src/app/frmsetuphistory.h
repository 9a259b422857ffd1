// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPushButton;
class QTableWidget;
class SetupHistoryList;

// "Setup History": the kept setups newest first, with Open, Compare with Device, Delete and
// Show Folder. Only shows the list and forwards the buttons.
class frmSetupHistory final : public QWidget
{
    Q_OBJECT

public:
    frmSetupHistory(SetupHistoryList &list, QWidget *parent);

    QTableWidget *table() const { return m_table; }
    int selectedRow() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void fill();
    void updateButtons();

    SetupHistoryList &m_list;
    QTableWidget *m_table = nullptr;
    QPushButton *m_open = nullptr;
    QPushButton *m_compare = nullptr;
    QPushButton *m_delete = nullptr;
};
