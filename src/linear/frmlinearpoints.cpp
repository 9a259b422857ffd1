// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmlinearpoints.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

#include "linear/linearcurve.h"
#include "linear/linearcurveview.h"
#include "linear/markerlabel.h"
#include "params/devicefamily.h"
#include "params/fieldchecks.h"
#include "params/fieldkeyfilter.h"
#include "params/typinglimit.h"

namespace {

constexpr int MaxChars = 8;

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

frmLinearPoints::frmLinearPoints(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_context(context)
    , m_logic(context.state, context.dialogs, context.family)
{
    setObjectName(QStringLiteral("frmLinearPoints"));
    setWindowTitle(QStringLiteral("Linear Point Configuration"));

    m_frame = new QGroupBox(QStringLiteral("Linear Points"), this);
    m_frame->setObjectName(QStringLiteral("fraLinearPoints"));
    auto *grid = new QGridLayout(m_frame);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    m_lblFreq = new QLabel(QStringLiteral("Position"), m_frame);
    m_lblFreq->setObjectName(QStringLiteral("lblFreq"));
    m_lblCoef = new QLabel(QStringLiteral("Coefficient"), m_frame);
    m_lblCoef->setObjectName(QStringLiteral("lblCoef"));
    for (QLabel *heading : { m_lblFreq, m_lblCoef }) {
        heading->setAlignment(Qt::AlignCenter);
        UnflagField(heading, nullptr);
    }
    grid->addWidget(m_lblFreq, 0, 2);
    grid->addWidget(m_lblCoef, 0, 3);

    const QColor darkGrey(64, 64, 64);
    m_lblLow = new QLabel(QStringLiteral("Low"), m_frame);
    m_lblLow->setObjectName(QStringLiteral("lblLow"));
    m_lblHigh = new QLabel(QStringLiteral("High"), m_frame);
    m_lblHigh->setObjectName(QStringLiteral("lblHigh"));
    setTextColour(m_lblLow, darkGrey);
    setTextColour(m_lblHigh, darkGrey);
    grid->addWidget(m_lblLow, 1, 0);
    grid->addWidget(m_lblHigh, Rows, 0);

    for (int i = 0; i < Rows; ++i) {
        auto *number = new QLabel(QString::number(i + 1), m_frame);
        number->setObjectName(QStringLiteral("lblPoints%1").arg(i));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        number->setMinimumWidth(18);
        UnflagField(number, nullptr);
        m_lblPoints[i] = number;

        auto makeEdit = [&](const QString &name) {
            auto *edit = new QLineEdit(m_frame);
            edit->setObjectName(name);
            // Only typing is limited: a value the program puts in arrives whole.
            TypingLimit::install(edit, MaxChars);
            edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
            FieldKeyFilter::install(edit, FieldFilter::Class::Decimal);
            edit->installEventFilter(this);
            return edit;
        };
        m_txtFreq[i] = makeEdit(QStringLiteral("txtFreq%1").arg(i));
        m_txtCoef[i] = makeEdit(QStringLiteral("txtCoef%1").arg(i));
        for (Column column : { Column::Freq, Column::Coef }) {
            connect(box(column, i), &QLineEdit::textChanged, this, [this, column, i](const QString &text) {
                if (!m_mirroring)
                    m_logic.setText(column, i, text);
            });
        }

        auto *marker = new MarkerLabel(m_frame);
        marker->setObjectName(QStringLiteral("lblErr%1").arg(i));
        m_lblErr[i] = marker;

        grid->addWidget(number, i + 1, 1);
        grid->addWidget(m_txtFreq[i], i + 1, 2);
        grid->addWidget(m_txtCoef[i], i + 1, 3);
        grid->addWidget(marker, i + 1, 4);
        showRow(i);
    }

    m_btnOK = new QPushButton(QStringLiteral("OK"), this);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setAutoDefault(false);
    connect(m_btnOK, &QPushButton::clicked, &m_logic, &LinearPointsLogic::btnOK_Click);

    m_curve = new LinearCurveView(context.family.pointColumns[0], context.family.pointColumns[1], this);
    auto *table = new QHBoxLayout;
    table->addWidget(m_frame);
    table->addWidget(m_curve);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(table);
    layout->addWidget(m_btnOK, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *previous = m_txtFreq[0];
    for (int i = 0; i < Rows; ++i) {
        for (QWidget *next : { static_cast<QWidget *>(m_txtFreq[i]), static_cast<QWidget *>(m_txtCoef[i]) }) {
            if (next != previous)
                setTabOrder(previous, next);
            previous = next;
        }
    }
    setTabOrder(previous, m_btnOK);

    connectLogic();
    Form_Load();
}

void frmLinearPoints::Form_Load()
{
    m_lblFreq->setText(m_logic.heading(Column::Freq));
    // A column heading serves ten boxes, so each box is named by its heading and row number.
    for (int i = 0; i < Rows; ++i) {
        m_txtFreq[i]->setAccessibleName(m_lblFreq->text() + QLatin1Char(' ') + m_lblPoints[i]->text());
        m_txtCoef[i]->setAccessibleName(m_lblCoef->text() + QLatin1Char(' ') + m_lblPoints[i]->text());
    }
}

void frmLinearPoints::connectLogic()
{
    connect(&m_logic, &LinearPointsLogic::textSet, this, [this](Column column, int i, const QString &text) {
        QLineEdit *edit = box(column, i);
        if (edit->text() == text)
            return;
        const QScopedValueRollback<bool> guard(m_mirroring, true);
        // setText leaves the caret after the text, where a replaced lone point wants it.
        edit->setText(text);
    });
    connect(&m_logic, &LinearPointsLogic::rowChanged, this, &frmLinearPoints::showRow);
    connect(&m_logic, &LinearPointsLogic::headingChanged, this, [this](Column column) {
        QLabel *heading = column == Column::Freq ? m_lblFreq : m_lblCoef;
        if (m_logic.isHeadingRed(column))
            FlagField(heading, nullptr);
        else
            UnflagField(heading, nullptr);
    });
    connect(&m_logic, &LinearPointsLogic::focusReturned, this, [this](Column column, int i) {
        const QScopedValueRollback<bool> guard(m_checking, true);
        QLineEdit *edit = box(column, i);
        edit->setFocus(Qt::OtherFocusReason);
        edit->setSelection(0, int(edit->text().size()));
    });
    connect(&m_logic, &LinearPointsLogic::hideRequested, this, &QWidget::hide);
    // Drawn once the edit is done: clearing sets a table entry back to -1 after the box's text.
    m_curveUpdate.setSingleShot(true);
    m_curveUpdate.setInterval(0);
    connect(&m_curveUpdate, &QTimer::timeout, this, &frmLinearPoints::showCurve);
    connect(&m_logic, &LinearPointsLogic::textSet, &m_curveUpdate, qOverload<>(&QTimer::start));
    connect(&m_logic, &LinearPointsLogic::rowChanged, &m_curveUpdate, qOverload<>(&QTimer::start));
}

void frmLinearPoints::showRow(int i)
{
    const bool active = m_logic.isRowActive(i);
    const QColor background = active ? QColor(Qt::white) : palette().color(QPalette::Button);
    for (QLineEdit *edit : { m_txtFreq.at(i), m_txtCoef.at(i) }) {
        edit->setEnabled(active);
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, background);
        edit->setPalette(p);
    }
    if (m_logic.isNumberRed(i))
        FlagField(m_lblPoints.at(i), nullptr);
    else
        UnflagField(m_lblPoints.at(i), nullptr);
    m_lblPoints.at(i)->setVisible(active);
    m_lblErr.at(i)->setVisible(m_logic.isMarkerShown(i));
}

void frmLinearPoints::leave(Column column, int i)
{
    const QScopedValueRollback<bool> guard(m_checking, true);
    if (column == Column::Freq)
        m_logic.txtFreq_LostFocus(i);
    else
        m_logic.txtCoef_LostFocus(i);
}

void frmLinearPoints::showCurve()
{
    m_curve->setPoints(LinearCurve::points(m_logic, m_context.state));
}

void frmLinearPoints::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The tables may have changed while the window was hidden (Read Setup, Open).
    showCurve();
}

void frmLinearPoints::Form_Unload()
{
    // On a hidden window a failed check still shows its message and marks the row, but the focus
    // stays where the user is: the box only becomes the one that has the focus when it is shown.
    const QScopedValueRollback<bool> guard(m_checking, true);
    m_logic.Form_Unload();
}

void frmLinearPoints::closeEvent(QCloseEvent *event)
{
    event->ignore();
    Form_Unload();
}

bool frmLinearPoints::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut)
        return QWidget::eventFilter(watched, event);
    int row = -1;
    bool freq = false;
    for (int i = 0; i < Rows; ++i) {
        if (watched == m_txtFreq[i] || watched == m_txtCoef[i]) {
            row = i;
            freq = watched == m_txtFreq[i];
        }
    }
    if (row < 0)
        return QWidget::eventFilter(watched, event);

    if (event->type() == QEvent::FocusIn) {
        static_cast<QLineEdit *>(watched)->selectAll();
        return false;
    }
    // Switching windows or opening a menu or message is not leaving the box, nor is a move
    // that a check makes itself when it hands the focus back.
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (m_checking || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return false;
    // Checked once the focus has settled in the next box, so a check can hand it back safely.
    QTimer::singleShot(0, this, [this, row, freq] {
        if (isVisible())
            leave(freq ? Column::Freq : Column::Coef, row);
    });
    return false;
}
