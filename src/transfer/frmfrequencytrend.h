// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QTimer>
#include <QWidget>

#include "link/appcontext.h"

class QChart;
class QChartView;
class QComboBox;
class QDateTimeAxis;
class QLabel;
class QLineSeries;
class QPushButton;
class QValueAxis;
class FrequencyPoll;
class FrequencyTrend;

// Shows a frequency trend: its readings over the chosen span as a chart, the span's statistics,
// and whether the poll is on. It only listens: the poll is started and stopped in the main window.
class frmFrequencyTrend final : public QWidget
{
    Q_OBJECT

public:
    frmFrequencyTrend(AppContext &context, FrequencyTrend &trend, const FrequencyPoll &poll, QWidget *parent);

    QChartView *chartView() const { return m_view; }
    // The chart's lines as shown, for tests: one list of points per stretch without a gap.
    std::vector<QLineSeries *> shownLines() const;

    // Redraws the chart and the labels for the span ending now (or at the pause).
    void refresh();
    void btnSaveImage_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void showPollState();
    QLineSeries *line(size_t i);

    AppContext &m_context;
    FrequencyTrend &m_trend;
    const FrequencyPoll &m_poll;
    QComboBox *m_span = nullptr;
    QPushButton *m_pause = nullptr;
    QLabel *m_off = nullptr;
    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QDateTimeAxis *m_axisX = nullptr;
    QValueAxis *m_axisY = nullptr;
    std::vector<QLineSeries *> m_lines; // reused between redraws; the unused ones are empty
    QLabel *m_now = nullptr;
    QLabel *m_min = nullptr;
    QLabel *m_max = nullptr;
    QLabel *m_mean = nullptr;
    QLabel *m_stdDev = nullptr;
    QTimer m_tick; // rolls the span on while no reading comes
};
