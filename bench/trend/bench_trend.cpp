// SPDX-License-Identifier: GPL-3.0-or-later
// A trend window holding an hour of readings (9,000 at 400 ms): the time to add one reading and
// redraw the chart, and the readings kept after two hours (memory stays bounded).
#include <algorithm>
#include <cstdio>
#include <vector>

#include <QApplication>
#include <QChartView>
#include <QElapsedTimer>
#include <QTimer>

#include "fakeuserdialogs.h"
#include "link/appcontext.h"
#include "link/devicestate.h"
#include "params/devicefamily.h"
#include "transfer/frequencypoll.h"
#include "transfer/frequencytrend.h"
#include "transfer/frmfrequencytrend.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DeviceState state;
    FakeUserDialogs dialogs;
    AppContext context { state, nullptr, dialogs, DeviceFamily::dravion() };
    QTimer pollTimer;
    FrequencyPoll poll(context, &pollTimer, {}, FrequencyPoll::Rules::TimerOnly, nullptr);
    FrequencyTrend trend(dialogs);
    qint64 now = 0;
    trend.setClock([&now] { return now; });
    trend.setSpanMinutes(60);
    frmFrequencyTrend window(context, trend, poll, nullptr);
    window.show();
    QApplication::processEvents();
    for (int i = 0; i < 9000; ++i, now += 400)
        trend.add(now, 250 + (i * 7919 % 11) - 5);

    // First the update alone (statistics, series, axes), as a reading leaves it for the next paint;
    // then with the paint forced at once, which the event loop otherwise does when it is idle.
    for (const bool paint : { false, true }) {
        std::vector<double> ms;
        for (int i = 0; i < 500; ++i, now += 400) {
            QElapsedTimer t;
            t.start();
            trend.add(now, 250 + (i * 7919 % 11) - 5); // the window redraws its series here
            if (paint)
                window.chartView()->viewport()->repaint();
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::printf(
            "readings kept %zu; add+update%s per reading: median %.3f ms, 95%% %.3f ms, max %.3f ms\n",
            trend.readings().size(), paint ? "+paint" : "", ms[ms.size() / 2], ms[ms.size() * 95 / 100],
            ms.back());
        QApplication::processEvents();
    }
    for (int i = 0; i < 9000; ++i, now += 400)
        trend.add(now, 250);
    std::printf("after two hours: readings kept %zu (%zu bytes of readings)\n", trend.readings().size(),
        trend.readings().size() * sizeof(FrequencyTrend::Reading));
    return 0;
}
