// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmlinemonitor.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTextCursor>
#include <QTextDocument>

#include "link/devicestate.h"
#include "link/linkengine.h"
#include "monitor/teststring.h"
#include "params/devicefamily.h"
#include "params/twips.h"

namespace {

const QString TestTabCaption = QStringLiteral("  Test   ");
constexpr int AsciiTab = 0;
constexpr int HexTab = 1;
constexpr int TestTab = 2;

// Fixed places of the controls, in twips; the resize rules move the rest.
constexpr int Left = 45;
constexpr int TabTop = 45;
constexpr int CommTop = 450;
constexpr int DesignWidth = 5085;
constexpr int DesignHeight = 6600;
constexpr int FrameHeight = 2400;

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

void place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(
        Twips::toPixels(left), Twips::toPixels(top), Twips::toPixels(width), Twips::toPixels(height));
}

} // namespace

frmLineMonitor::frmLineMonitor(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_context(context)
    , m_traffic(context.state, context.dialogs)
{
    setObjectName(QStringLiteral("frmLineMonitor"));
    setWindowTitle(QStringLiteral("Serial Line Monitor"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(0);
    connect(&m_flushTimer, &QTimer::timeout, this, &frmLineMonitor::flush);
    connect(&m_traffic, &TrafficText::appended, this, &frmLineMonitor::onAppended);
    connect(&m_traffic, &TrafficText::removedFromStart, this, &frmLineMonitor::onRemovedFromStart);
    connect(&m_traffic, &TrafficText::cleared, this, &frmLineMonitor::onCleared);
    m_traffic.setOrigin(context.link, context.family.name);

    buildControls();
    resize(Twips::toPixels(DesignWidth), Twips::toPixels(DesignHeight));
}

void frmLineMonitor::buildControls()
{
    m_tabs = named(new QTabBar(this), "TabStrip1");
    m_tabs->addTab(QStringLiteral("ASCII  Display "));
    m_tabs->addTab(QStringLiteral("  Hex Display  "));
    m_tabs->addTab(TestTabCaption);
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(true);
    place(m_tabs, Left, TabTop, DesignWidth - 100, CommTop - TabTop);
    connect(m_tabs, &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });

    m_comm = named(new QPlainTextEdit(this), "txtComm");
    m_comm->setReadOnly(true);
    m_comm->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_comm->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_comm->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_comm->setUndoRedoEnabled(false); // the traffic is never undone; keeps trimming cheap
    place(m_comm, Left, CommTop, DesignWidth - 100, DesignHeight - 900);

    m_frame = named(new QGroupBox(QStringLiteral("Test"), this), "Frame1");
    place(m_frame, Left, DesignHeight - 2850, DesignWidth - 100, FrameHeight);
    m_frame->hide();

    m_closeTest = named(new QPushButton(QStringLiteral("X"), m_frame), "btnCloseTest");
    QFont closeFont(QStringLiteral("Arial"));
    closeFont.setBold(true);
    m_closeTest->setFont(closeFont);
    place(m_closeTest, DesignWidth - 100 - 350, 150, 255, 255);
    connect(m_closeTest, &QPushButton::clicked, this, &frmLineMonitor::btnCloseTest_Click);

    auto *pickerCaption = named(new QLabel(QStringLiteral("Insert Control Character"), m_frame), "Label2");
    place(pickerCaption, 150, 330, 2500, 255);

    m_picker = named(new QComboBox(m_frame), "Combo1");
    pickerCaption->setBuddy(m_picker);
    m_picker->addItems(TestString::pickerEntries());
    m_picker->setMaxVisibleItems(12);
    place(m_picker, 150, 585, 2250, 345);
    connect(m_picker, &QComboBox::activated, this, &frmLineMonitor::Combo1_Click);

    m_send = named(new QPushButton(QStringLiteral("&Send"), m_frame), "btnSend");
    place(m_send, 3480, 570, 1200, 375);
    connect(m_send, &QPushButton::clicked, this, &frmLineMonitor::btnSend_Click);

    m_autoStx = named(
        new QCheckBox(QStringLiteral("Auto Insert <STX> at beginning of String"), m_frame), "ckbAutoSTX");
    m_autoStx->setChecked(true);
    place(m_autoStx, 150, 1020, 4600, 285);
    connect(m_autoStx, &QCheckBox::toggled, this, &frmLineMonitor::ckbAutoSTX_Click);

    m_autoCr
        = named(new QCheckBox(QStringLiteral("Auto Insert <CR> at end of String"), m_frame), "ckbAutoCR");
    m_autoCr->setChecked(true);
    place(m_autoCr, 150, 1320, 4600, 285);
    connect(m_autoCr, &QCheckBox::toggled, this, &frmLineMonitor::ckbAutoCR_Click);

    auto *outputCaption = named(new QLabel(QStringLiteral("ASCII Output String"), m_frame), "Label1");
    place(outputCaption, 150, 1680, 2500, 255);

    m_stxLabel = named(new QLabel(QStringLiteral("STX"), m_frame), "lblSTX");
    place(m_stxLabel, 150, 1980, 420, 270);
    m_output = named(new QLineEdit(m_frame), "txtOutput");
    outputCaption->setBuddy(m_output);
    place(m_output, 600, 1935, 3600, 345);
    m_crLabel = named(new QLabel(QStringLiteral("CR"), m_frame), "lblCR");
    place(m_crLabel, 4260, 1980, 420, 270);

    // The strip below the text box and the Test frame is free in both layouts.
    m_timeStamps = named(new QCheckBox(QStringLiteral("Time stamps"), this), "ckbTimeStamps");
    connect(m_timeStamps, &QCheckBox::toggled, this, &frmLineMonitor::ckbTimeStamps_Click);
    m_saveTraffic = named(new QPushButton(QStringLiteral("Save Traffic..."), this), "btnSaveTraffic");
    connect(m_saveTraffic, &QPushButton::clicked, this, &frmLineMonitor::btnSaveTraffic_Click);
    placeTrafficControls();
}

void frmLineMonitor::placeTrafficControls()
{
    const int width = int(Twips::fromPixels(this->width()));
    const int top = int(Twips::fromPixels(this->height())) - 420;
    place(m_timeStamps, Left + 60, top, 1800, 375);
    place(m_saveTraffic, std::max(Left + 1900, width - 100 - 1700 + Left), top, 1700, 375);
}

void frmLineMonitor::ckbTimeStamps_Click()
{
    m_traffic.setTimeStamps(m_timeStamps->isChecked());
}

void frmLineMonitor::btnSaveTraffic_Click()
{
    m_traffic.btnSaveTraffic_Click();
}

void frmLineMonitor::onAppended(const QString &rows)
{
    m_pending += rows;
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

void frmLineMonitor::flush()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty())
        return;
    QTextCursor cursor(m_comm->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(m_pending);
    m_pending.clear();
    keepAtEnd();
}

void frmLineMonitor::onRemovedFromStart(qsizetype characters)
{
    // The first rows may sit in the text box or still in the pending appends; flushing here would
    // cost a document edit per received row once the limit is reached.
    QTextDocument *document = m_comm->document();
    const qsizetype shown = std::min<qsizetype>(characters, document->characterCount() - 1);
    if (shown > 0) {
        QTextCursor cursor(document);
        cursor.setPosition(int(shown), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    m_pending.remove(0, characters - shown);
}

void frmLineMonitor::onCleared()
{
    m_pending.clear();
    m_flushTimer.stop();
    m_comm->clear();
}

void frmLineMonitor::TabStrip1_Click()
{
    const int index = m_tabs->currentIndex();
    if (index == AsciiTab || index == HexTab) {
        m_traffic.selectDisplay(index == AsciiTab ? Mode::Ascii : Mode::Hex);
        m_displayTab = index;
        return;
    }
    if (index != TestTab)
        return;
    m_frame->show();
    // The Test tab only opens the frame: the display mode in use stays selected.
    const QSignalBlocker blocker(m_tabs);
    m_tabs->removeTab(TestTab);
    m_tabs->setCurrentIndex(m_displayTab);
    Form_Resize();
}

void frmLineMonitor::btnCloseTest_Click()
{
    if (m_tabs->count() <= TestTab)
        m_tabs->addTab(TestTabCaption);
    setCommHeight(windowHeight() - 900);
    m_frame->hide();
}

void frmLineMonitor::ckbAutoSTX_Click()
{
    m_stxLabel->setVisible(m_autoStx->isChecked());
}

void frmLineMonitor::ckbAutoCR_Click()
{
    m_crLabel->setVisible(m_autoCr->isChecked());
}

void frmLineMonitor::Combo1_Click(int index)
{
    const QString character = TestString::pickerInsertion(index);
    if (!character.isEmpty())
        m_output->setText(m_output->text() + character);
}

void frmLineMonitor::btnSend_Click()
{
    LinkEngine *link = m_context.link;
    // Touching the shared flags while another exchange waits, or between the steps of a Read or
    // Download Setup, would break that exchange or sequence.
    if (!link || m_sending || link->exchangeOutstanding() || m_context.state.TransferRunning)
        return;
    DeviceState &state = m_context.state;
    state.CommAbort = false;
    state.CommandString
        = TestString::compose(m_output->text(), m_autoStx->isChecked(), m_autoCr->isChecked());
    state.AutoFrame = false;
    m_sending = true;
    m_send->setEnabled(false);
    const QPointer<frmLineMonitor> self(this);
    link->SendCommand(false);
    state.AutoFrame = true;
    if (!self)
        return;
    m_sending = false;
    m_send->setEnabled(true);
}

void frmLineMonitor::setCommHeight(int twips)
{
    m_comm->resize(m_comm->width(), std::max(0, Twips::toPixels(twips)));
    keepAtEnd(); // a shorter box still shows the newest traffic
}

void frmLineMonitor::keepAtEnd()
{
    m_comm->moveCursor(QTextCursor::End);
    QScrollBar *bar = m_comm->verticalScrollBar();
    bar->setValue(bar->maximum());
}

// The window's outer height, title bar and borders included, which the resize rules are made for.
int frmLineMonitor::windowHeight() const
{
    return int(Twips::fromPixels(frameGeometry().height()));
}

void frmLineMonitor::Form_Resize()
{
    const int width = int(Twips::fromPixels(this->width()));
    const int height = windowHeight();
    if (width > 100) {
        const int inner = Twips::toPixels(width - 100);
        m_comm->resize(inner, m_comm->height());
        m_tabs->resize(inner, m_tabs->height());
        m_frame->resize(inner, m_frame->height());
        m_closeTest->move(Twips::toPixels(Twips::fromPixels(m_frame->width()) - 350), m_closeTest->y());
    }
    if (!m_frame->isHidden()) {
        if (height > 3300)
            setCommHeight(height - 3300);
        if (height > 2850)
            m_frame->move(m_frame->x(), Twips::toPixels(height - 2850));
        return;
    }
    setCommHeight(height - 900);
}

void frmLineMonitor::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
    placeTrafficControls();
}

void frmLineMonitor::closeEvent(QCloseEvent *event)
{
    // Only hidden: the traffic text survives, and an exchange waiting meanwhile goes on.
    event->ignore();
    hide();
}
