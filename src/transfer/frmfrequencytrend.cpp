// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmfrequencytrend.h"

#include <algorithm>
#include <cmath>

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>

#include "link/exportfile.h"
#include "link/userdialogs.h"
#include "transfer/frequencypoll.h"
#include "transfer/frequencytrend.h"

namespace {

template <class W> W *named(W *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

frmFrequencyTrend::frmFrequencyTrend(
    AppContext &context, FrequencyTrend &trend, const FrequencyPoll &poll, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_context(context)
    , m_trend(trend)
    , m_poll(poll)
{
    setObjectName(QStringLiteral("frmFrequencyTrend"));
    setWindowTitle(QStringLiteral("Frequency Trend"));

    m_span = named(new QComboBox(this), "cboSpan");
    for (int minutes : { 1, 10, 60 })
        m_span->addItem(QStringLiteral("%1 min").arg(minutes), minutes);
    m_span->setCurrentIndex(m_span->findData(m_trend.spanMinutes()));
    auto *spanLabel = new QLabel(QStringLiteral("&Span:"), this);
    spanLabel->setBuddy(m_span);
    m_pause = named(new QPushButton(QStringLiteral("&Pause"), this), "btnPause");
    auto *clear = named(new QPushButton(QStringLiteral("C&lear"), this), "btnClear");
    auto *exportCsv = named(new QPushButton(QStringLiteral("&Export CSV..."), this), "btnExportCsv");
    auto *saveImage = named(new QPushButton(QStringLiteral("Save &Image..."), this), "btnSaveImage");
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(spanLabel);
    buttons->addWidget(m_span);
    buttons->addStretch();
    for (QPushButton *b : { m_pause, clear, exportCsv, saveImage }) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }

    m_off = named(new QLabel(QStringLiteral("Frequency Monitor is Off"), this), "lblOff");
    m_off->setAlignment(Qt::AlignCenter);
    QFont bold = m_off->font();
    bold.setBold(true);
    m_off->setFont(bold);
    QPalette red = m_off->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_off->setPalette(red);

    m_chart = new QChart;
    m_chart->legend()->hide();
    m_axisX = new QDateTimeAxis(m_chart);
    m_axisX->setFormat(QStringLiteral("hh:mm:ss"));
    m_axisX->setTickCount(7);
    m_axisY = new QValueAxis(m_chart);
    m_axisY->setTitleText(QStringLiteral("Hz"));
    m_axisY->setLabelFormat(QStringLiteral("%.0f"));
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    m_view = named(new QChartView(m_chart, this), "chtTrend");
    m_view->setMinimumSize(560, 300);

    auto *stats = new QHBoxLayout;
    m_now = named(new QLabel(this), "lblNow");
    m_min = named(new QLabel(this), "lblMin");
    m_max = named(new QLabel(this), "lblMax");
    m_mean = named(new QLabel(this), "lblMean");
    m_stdDev = named(new QLabel(this), "lblStdDev");
    for (QLabel *l : { m_now, m_min, m_max, m_mean, m_stdDev })
        stats->addWidget(l);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_off);
    layout->addWidget(m_view, 1);
    layout->addLayout(stats);

    connect(m_span, &QComboBox::currentIndexChanged, this,
        [this] { m_trend.setSpanMinutes(m_span->currentData().toInt()); });
    connect(m_pause, &QPushButton::clicked, this, [this] {
        m_trend.setPaused(!m_trend.isPaused());
        m_pause->setText(m_trend.isPaused() ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    });
    connect(clear, &QPushButton::clicked, &m_trend, &FrequencyTrend::clear);
    connect(exportCsv, &QPushButton::clicked, &m_trend, &FrequencyTrend::exportCsv);
    connect(saveImage, &QPushButton::clicked, this, &frmFrequencyTrend::btnSaveImage_Click);
    connect(&m_trend, &FrequencyTrend::changed, this, &frmFrequencyTrend::refresh);
    connect(&m_trend, &FrequencyTrend::readingAdded, this, [this] {
        if (!m_trend.isPaused() && isVisible())
            refresh();
    });
    connect(&m_poll, &FrequencyPoll::pollingSwitched, this, &frmFrequencyTrend::showPollState);
    m_tick.setInterval(1000);
    connect(&m_tick, &QTimer::timeout, this, [this] {
        showPollState();
        if (!m_trend.isPaused())
            refresh();
    });

    resize(760, 460);
    showPollState();
    refresh();
}

std::vector<QLineSeries *> frmFrequencyTrend::shownLines() const
{
    std::vector<QLineSeries *> shown;
    for (QLineSeries *s : m_lines) {
        if (s->count() > 0)
            shown.push_back(s);
    }
    return shown;
}

QLineSeries *frmFrequencyTrend::line(size_t i)
{
    while (m_lines.size() <= i) {
        auto *series = new QLineSeries(m_chart);
        QPen pen(QColor(0, 90, 170));
        pen.setWidthF(1.0);
        pen.setCosmetic(true);
        series->setPen(pen);
        m_chart->addSeries(series);
        series->attachAxis(m_axisX);
        series->attachAxis(m_axisY);
        m_lines.push_back(series);
    }
    return m_lines[i];
}

void frmFrequencyTrend::refresh()
{
    const qint64 end = m_trend.viewEnd();
    const FrequencyTrend::Statistics s = m_trend.statistics(end);
    m_now->setText(QStringLiteral("Now: %1 Hz").arg(FrequencyTrend::digitsText(s, s.now)));
    m_min->setText(QStringLiteral("Min: %1 Hz").arg(FrequencyTrend::digitsText(s, s.min)));
    m_max->setText(QStringLiteral("Max: %1 Hz").arg(FrequencyTrend::digitsText(s, s.max)));
    m_mean->setText(QStringLiteral("Mean: %1 Hz").arg(FrequencyTrend::decimalText(s, s.mean)));
    m_stdDev->setText(QStringLiteral("Std Dev: %1 Hz").arg(FrequencyTrend::decimalText(s, s.stdDev)));

    // Two points per pixel column at most: the chart's cost stays that of its width, not of an hour.
    const int columns = std::max(100, int(m_chart->plotArea().width()));
    const QList<QList<QPointF>> lines = m_trend.lines(end, columns);
    // Emptied before the axes move: a series with points lays its whole line out again, stroke and
    // all, on every range change, and once more when its points are replaced.
    for (QLineSeries *series : m_lines) {
        if (series->count() > 0)
            series->clear();
    }
    m_axisX->setRange(
        QDateTime::fromMSecsSinceEpoch(end - m_trend.spanMs()), QDateTime::fromMSecsSinceEpoch(end));
    if (s.count > 0) {
        const double pad = std::max(1.0, (s.max - s.min) * 0.1);
        m_axisY->setRange(std::floor(s.min - pad), std::ceil(s.max + pad));
    }
    for (size_t i = 0; i < size_t(lines.size()); ++i)
        line(i)->replace(lines[qsizetype(i)]);
}

void frmFrequencyTrend::showPollState()
{
    m_off->setVisible(!m_poll.isPolling());
}

void frmFrequencyTrend::btnSaveImage_Click()
{
    ExportFile::saveAs(m_context.dialogs,
        { QStringLiteral("Save Image"), QStringLiteral("PNG Image (*.png)"), QStringLiteral("png"),
            QStringLiteral("Unable to save the image to %1:\r%2") },
        [this](QIODevice &file) { return m_view->grab().toImage().save(&file, "PNG"); });
}

void frmFrequencyTrend::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    showPollState();
    refresh();
    m_tick.start();
}

void frmFrequencyTrend::hideEvent(QHideEvent *event)
{
    m_tick.stop();
    QWidget::hideEvent(event);
}
