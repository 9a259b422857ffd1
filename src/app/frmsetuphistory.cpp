// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmsetuphistory.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/setuphistorylist.h"

frmSetupHistory::frmSetupHistory(SetupHistoryList &list, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(list)
{
    setObjectName(QStringLiteral("frmSetupHistory"));
    setWindowTitle(QStringLiteral("Setup History"));
    m_table = new QTableWidget(this);
    m_table->setObjectName(QStringLiteral("tblHistory"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto button = [this](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    m_open = button(QStringLiteral("&Open"), "btnOpen");
    m_compare = button(QStringLiteral("&Compare with Device"), "btnCompare");
    m_delete = button(QStringLiteral("&Delete"), "btnDelete");
    QPushButton *folder = button(QStringLiteral("Show &Folder"), "btnShowFolder");
    QPushButton *close = button(QStringLiteral("Close"), "btnClose");

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : { m_open, m_compare, m_delete, folder })
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    resize(620, 360);

    connect(m_open, &QPushButton::clicked, this, [this] { m_list.open(selectedRow()); });
    connect(m_compare, &QPushButton::clicked, this, [this] { m_list.compare(selectedRow()); });
    connect(m_delete, &QPushButton::clicked, this, [this] { m_list.remove(selectedRow()); });
    connect(folder, &QPushButton::clicked, &m_list, &SetupHistoryList::showFolder);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row) { m_list.open(row); });
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &frmSetupHistory::updateButtons);
    connect(&m_list, &SetupHistoryList::changed, this, &frmSetupHistory::fill);
    fill();
}

int frmSetupHistory::selectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = m_table->selectedRanges();
    return ranges.isEmpty() ? -1 : ranges.first().topRow();
}

void frmSetupHistory::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_list.refresh();
}

void frmSetupHistory::fill()
{
    const QString selected = m_list.path(selectedRow());
    const QStringList headings = m_list.headings();
    m_table->clear();
    m_table->setColumnCount(int(headings.size()));
    m_table->setHorizontalHeaderLabels(headings);
    m_table->setRowCount(m_list.rowCount());
    int reselect = -1;
    for (int row = 0; row < m_list.rowCount(); ++row) {
        const QStringList cells = m_list.cells(row);
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells[column]));
        if (m_list.path(row) == selected)
            reselect = row;
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setSectionResizeMode(int(headings.size()) - 1, QHeaderView::Stretch);
    if (reselect < 0 && m_list.rowCount() > 0)
        reselect = 0;
    if (reselect >= 0)
        m_table->selectRow(reselect);
    updateButtons();
}

void frmSetupHistory::updateButtons()
{
    const bool any = selectedRow() >= 0;
    for (QPushButton *b : { m_open, m_compare, m_delete })
        b->setEnabled(any);
}
