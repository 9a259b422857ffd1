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

    std::vector<double> ms, update, paint;
    for (int i = 0; i < 500; ++i, now += 400) {
        QElapsedTimer t;
        t.start();
        trend.add(now, 250 + (i * 7919 % 11) - 5); // the window redraws its series here
        const qint64 updated = t.nsecsElapsed();
        window.chartView()->viewport()->repaint(); // and the paint itself
        ms.push_back(t.nsecsElapsed() / 1e6);
        update.push_back(updated / 1e6);
        paint.push_back(ms.back() - update.back());
    }
    for (std::vector<double> *v : { &ms, &update, &paint })
        std::sort(v->begin(), v->end());
    std::printf(
        "readings kept %zu; add+redraw+paint per reading: median %.3f ms, 95%% %.3f ms, max %.3f ms\n",
        trend.readings().size(), ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back());
    std::printf("  of which add+redraw: median %.3f ms; paint: median %.3f ms\n", update[update.size() / 2],
        paint[paint.size() / 2]);
    for (int i = 0; i < 9000; ++i, now += 400)
        trend.add(now, 250);
    std::printf("after two hours: readings kept %zu (%zu bytes of readings)\n", trend.readings().size(),
        trend.readings().size() * sizeof(FrequencyTrend::Reading));
    return 0;
}
