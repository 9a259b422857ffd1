// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmcompare.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

frmCompare::frmCompare(const std::vector<SetupComparison::Row> &rows, QWidget *parent, const QString &left)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(QStringLiteral("Compare with Device"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);

    m_table = new QTableWidget(int(rows.size()), 4, this);
    m_table->setObjectName(QStringLiteral("tblCompare"));
    m_table->setHorizontalHeaderLabels(
        { QStringLiteral("Parameter"), left, QStringLiteral("Device"), QString() });
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    int differing = 0;
    for (int r = 0; r < int(rows.size()); ++r) {
        const SetupComparison::Row &row = rows[size_t(r)];
        const QString cells[]
            = { row.parameter, row.left, row.right, row.differs ? QStringLiteral("!") : QString() };
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            if (row.differs) {
                // Marked like a flagged field: red text, bold.
                item->setForeground(QColor(255, 0, 0));
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            m_table->setItem(r, c, item);
        }
        differing += row.differs ? 1 : 0;
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);

    auto *summary
        = new QLabel(differing == 0 ? QStringLiteral("No differences")
                                    : QStringLiteral("%1 of %2 differ").arg(differing).arg(rows.size()),
            this);
    summary->setObjectName(QStringLiteral("lblSummary"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(summary);
    layout->addWidget(buttons);
    // Tall enough to show a whole setup without scrolling where the screen allows.
    resize(480, std::min(760, 130 + int(rows.size()) * m_table->verticalHeader()->defaultSectionSize()));
}
