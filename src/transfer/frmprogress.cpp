// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmprogress.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/devicestate.h"
#include "link/values.h"
#include "params/twips.h"

frmProgress::frmProgress(DeviceState &state, QWidget *owner)
    : QWidget(owner, Qt::Dialog)
    , m_state(state)
    , m_owner(owner)
{
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Status"));
    setWindowModality(Qt::NonModal);

    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar1"));
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);

    m_percent = new QLabel(QStringLiteral("0%"), this);
    m_percent->setObjectName(QStringLiteral("lblPercent"));
    m_percent->setAlignment(Qt::AlignCenter);

    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("btnCancel"));
    connect(m_cancel, &QPushButton::clicked, this, &frmProgress::btnCancel_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_bar);
    layout->addWidget(m_percent);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(m_cancel);
    row->addStretch();
    layout->addLayout(row);
    setFixedSize(Twips::toPixels(4500), sizeHint().height());
}

void frmProgress::setPercent(const QString &text)
{
    if (m_percent->text() == text)
        return;
    m_percent->setText(text);
    lblPercent_Change();
    Q_EMIT percentChanged(text);
}

QString frmProgress::percent() const
{
    return m_percent->text();
}

void frmProgress::lblPercent_Change()
{
    const float v = float(Values::Val(m_percent->text()));
    if (v >= 0.0f && v <= 100.0f)
        m_bar->setValue(int(v));
}

void frmProgress::showFor(const QString &caption)
{
    setWindowTitle(caption);
    if (m_owner) {
        const QRect owner = m_owner->frameGeometry();
        move(owner.center() - QPoint(width() / 2, height() / 2));
    }
    show();
    raise();
}

void frmProgress::finish()
{
    m_finishing = true;
    close();
    m_finishing = false;
}

void frmProgress::btnCancel_Click()
{
    m_state.CommAbort = true;
    finish();
}

void frmProgress::closeEvent(QCloseEvent *event)
{
    // The window's close box is a Cancel too: a hidden progress window must not leave a transfer
    // running that the user can no longer stop.
    if (!m_finishing && isVisible())
        m_state.CommAbort = true;
    event->accept();
}
