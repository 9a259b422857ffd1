// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QDialog>

#include "params/setupcomparison.h"

class QTableWidget;

// The result of Compare with Device: each parameter's value in the window and in the device,
// the differing ones marked. Closing it changes nothing.
class frmCompare final : public QDialog
{
    Q_OBJECT

public:
    // left names the column of the setup compared with the device.
    frmCompare(const std::vector<SetupComparison::Row> &rows, QWidget *parent,
        const QString &left = QStringLiteral("Window"));

    QTableWidget *table() const { return m_table; }

private:
    QTableWidget *m_table = nullptr;
};
