// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmassignports.h"

#include <algorithm>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

#include "params/screenfit.h"

frmAssignPorts::frmAssignPorts(PortAssignments &model, QWidget *parent)
    : QDialog(parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("frmAssignPorts"));
    setWindowTitle(QStringLiteral("Assign Serial Ports"));

    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(QStringLiteral("Choose the device each Com port stands for, or type any path. "
                                            "USB adapters are offered by their stable names."));
    intro->setObjectName(QStringLiteral("lblIntro"));
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *grid = new QGridLayout;
    grid->setColumnStretch(1, 1);
    // The path and note columns give up width on a narrow screen, so OK and Cancel stay on it.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() - 120 : 580;
    const double narrow = std::clamp(room / 580.0, 0.4, 1.0);
    grid->setColumnMinimumWidth(1, int(320 * narrow));
    grid->setColumnMinimumWidth(2, int(260 * narrow));
    for (int com = 1; com <= m_model.comCount(); ++com) {
        auto *caption
            = new QLabel(com <= 9 ? QStringLiteral("Com &%1").arg(com) : QStringLiteral("Com %1").arg(com));
        caption->setObjectName(QStringLiteral("lblCom%1").arg(com));
        auto *port = new QComboBox;
        port->setObjectName(QStringLiteral("cboPort%1").arg(com));
        port->setEditable(true);
        port->setInsertPolicy(QComboBox::NoInsert);
        // The list tells the ports apart by their details; the text box takes the bare path.
        for (const PortAssignments::Choice &choice : m_model.choices()) {
            const QString shown = choice.details.isEmpty()
                ? choice.path
                : choice.path + QStringLiteral("   ") + choice.details;
            port->addItem(shown, choice.path);
        }
        port->setCurrentIndex(-1);
        port->setEditText(m_model.path(com));
        connect(port, &QComboBox::currentIndexChanged, port, [port](int index) {
            if (index >= 0)
                port->setEditText(port->itemData(index).toString());
        });
        caption->setBuddy(port);
        auto *note = new QLabel;
        note->setObjectName(QStringLiteral("lblPort%1").arg(com));
        note->setWordWrap(true);
        grid->addWidget(caption, com - 1, 0);
        grid->addWidget(port, com - 1, 1);
        grid->addWidget(note, com - 1, 2);
        m_ports.push_back(port);
        m_notes.push_back(note);
        connect(port, &QComboBox::editTextChanged, this, [this, com] { showNote(com); });
        showNote(com);
    }
    layout->addLayout(grid);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void frmAssignPorts::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    ScreenFit::fitDialog(this);
    ScreenFit::keepOnScreen(this);
}

void frmAssignPorts::showNote(int com)
{
    const QString path = m_ports[std::size_t(com - 1)]->currentText().trimmed();
    QLabel *note = m_notes[std::size_t(com - 1)];
    const QString text = m_model.note(path);
    note->setText(text);
    note->setToolTip(text);
    const bool trouble = m_model.presence(path) != PortAssignments::Presence::Present;
    note->setStyleSheet(trouble ? QStringLiteral("color: #b00000;") : QString());
}

void frmAssignPorts::collect()
{
    for (int com = 1; com <= m_model.comCount(); ++com)
        m_model.setPath(com, m_ports[std::size_t(com - 1)]->currentText());
}
