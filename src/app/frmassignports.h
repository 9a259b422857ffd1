// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QDialog>

#include "app/portassignments.h"

class QComboBox;
class QLabel;

// The "Assign Serial Ports" dialog: one editable list per "Com n" with the ports found on the
// machine; it only shows the model and hands the edits to it.
class frmAssignPorts final : public QDialog
{
    Q_OBJECT

public:
    frmAssignPorts(PortAssignments &model, QWidget *parent = nullptr);

    // Hands every row's text to the model; the caller stores it when the dialog was accepted.
    void collect();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showNote(int com);

    PortAssignments &m_model;
    std::vector<QComboBox *> m_ports;
    std::vector<QLabel *> m_notes;
};
