#include "frmlinearpoints.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

#include "linear/markerlabel.h"
#include "link/devicestate.h"
#include "link/values.h"
#include "params/fieldchecks.h"
#include "params/fieldkeyfilter.h"
#include "params/typinglimit.h"

namespace {

constexpr int MaxChars = 8;
// Frequencies from here up do not fit the device's table and are not stored.
constexpr double FrequencyLimit = 32000.0;

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
    for (QLabel *heading : {m_lblFreq, m_lblCoef}) {
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
        connect(m_txtFreq[i], &QLineEdit::textChanged, this, [this, i] { txtFreq_Change(i); });
        connect(m_txtCoef[i], &QLineEdit::textChanged, this, [this, i] { txtCoef_Change(i); });

        auto *marker = new MarkerLabel(m_frame);
        marker->setObjectName(QStringLiteral("lblErr%1").arg(i));
        m_lblErr[i] = marker;

        grid->addWidget(number, i + 1, 1);
        grid->addWidget(m_txtFreq[i], i + 1, 2);
        grid->addWidget(m_txtCoef[i], i + 1, 3);
        grid->addWidget(marker, i + 1, 4);
        setRowActive(i, true);
    }

    m_btnOK = new QPushButton(QStringLiteral("OK"), this);
    m_btnOK->setObjectName(QStringLiteral("btnOK"));
    m_btnOK->setAutoDefault(false);
    connect(m_btnOK, &QPushButton::clicked, this, &frmLinearPoints::btnOK_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_frame);
    layout->addWidget(m_btnOK, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    QWidget *previous = m_txtFreq[0];
    for (int i = 0; i < Rows; ++i) {
        for (QWidget *next : {static_cast<QWidget *>(m_txtFreq[i]), static_cast<QWidget *>(m_txtCoef[i])}) {
            if (next != previous)
                setTabOrder(previous, next);
            previous = next;
        }
    }
    setTabOrder(previous, m_btnOK);

    Form_Load();
}

void frmLinearPoints::Form_Load()
{
    m_lblFreq->setText(isMr() ? QStringLiteral("Position") : QStringLiteral("Freqency"));
    // A column heading serves ten boxes, so each box is named by its heading and row number.
    for (int i = 0; i < Rows; ++i) {
        m_txtFreq[i]->setAccessibleName(m_lblFreq->text() + QLatin1Char(' ') + m_lblPoints[i]->text());
        m_txtCoef[i]->setAccessibleName(m_lblCoef->text() + QLatin1Char(' ') + m_lblPoints[i]->text());
    }
}

bool frmLinearPoints::isMr() const
{
    return m_context.DeviceFamily == QLatin1String("MR");
}

void frmLinearPoints::setRowActive(int i, bool active)
{
    const QColor background = active ? QColor(Qt::white) : palette().color(QPalette::Button);
    for (QLineEdit *edit : {m_txtFreq.at(i), m_txtCoef.at(i)}) {
        edit->setEnabled(active);
        QPalette p = edit->palette();
        p.setColor(QPalette::Base, background);
        edit->setPalette(p);
    }
    m_lblPoints.at(i)->setVisible(active);
    if (!active)
        m_lblErr.at(i)->hide();
}

bool frmLinearPoints::isRowActive(int i) const
{
    return !m_lblPoints.at(i)->isHidden();
}

void frmLinearPoints::setRowMarked(int i, bool marked)
{
    if (marked)
        FlagField(m_lblPoints.at(i), m_lblErr.at(i));
    else
        UnflagField(m_lblPoints.at(i), m_lblErr.at(i));
}

void frmLinearPoints::replaceLonePoint(QLineEdit *edit)
{
    // Setting the text runs the change handler again, now for "0.".
    edit->setText(QStringLiteral("0."));
    edit->setCursorPosition(2);
}

void frmLinearPoints::clearRowIfComplete(int i)
{
    const DeviceState &s = m_context.state;
    if (s.LinFreqItems[i].value != -1 && s.LinFlowItems[i].value != -1.0f)
        setRowMarked(i, false);
}

void frmLinearPoints::txtFreq_Change(int i)
{
    QLineEdit *edit = m_txtFreq.at(i);
    // Positions take a lone point like the flow column; one integer table serves both families.
    if (isMr() && edit->text() == QLatin1String(".")) {
        replaceLonePoint(edit);
        return;
    }
    if (Values::Val(edit->text()) < FrequencyLimit)
        Values::StoreInt(edit->text(), m_context.state.LinFreqItems[i].value);
    UnflagField(m_lblFreq, nullptr);
    clearRowIfComplete(i);
}

void frmLinearPoints::txtCoef_Change(int i)
{
    QLineEdit *edit = m_txtCoef.at(i);
    if (edit->text() == QLatin1String(".")) {
        replaceLonePoint(edit);
        return;
    }
    Values::StoreSingle(edit->text(), m_context.state.LinFlowItems[i].value);
    UnflagField(m_lblCoef, nullptr);
    clearRowIfComplete(i);
}

void frmLinearPoints::txtFreq_LostFocus(int i)
{
    if (IsFieldFlagged(m_lblErr.at(i)))
        return;
    const QScopedValueRollback<bool> guard(m_checking, true);
    CheckIntField(m_txtFreq[i], m_context.state.LinFreqItems[i], m_lblFreq, m_lblErr[i], m_context.dialogs);
}

void frmLinearPoints::txtCoef_LostFocus(int i)
{
    if (IsFieldFlagged(m_lblErr.at(i)))
        return;
    const QScopedValueRollback<bool> guard(m_checking, true);
    CheckRealField(m_txtCoef[i], m_context.state.LinFlowItems[i], m_lblCoef, m_lblErr[i], m_context.dialogs);
}

void frmLinearPoints::btnOK_Click()
{
    hide();
}

void frmLinearPoints::Form_Unload()
{
    // Read Setup closes the window this way also while it is hidden. There a failed check still
    // shows its message and marks the row, but the focus stays where the user is: the box only
    // becomes the one that has the focus when the window is shown again.
    for (int i = 0; i < Rows; ++i) {
        if (isRowActive(i)) {
            txtFreq_LostFocus(i);
            txtCoef_LostFocus(i);
        }
    }
    hide();
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
        if (!isVisible())
            return;
        if (freq)
            txtFreq_LostFocus(row);
        else
            txtCoef_LostFocus(row);
    });
    return false;
}
