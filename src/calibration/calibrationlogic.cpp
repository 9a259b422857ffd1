// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibrationlogic.h"

#include <cmath>
#include <limits>

#include "link/userdialogs.h"
#include "link/values.h"

namespace {

const QString Span4To20 = QStringLiteral("4-20mA");
const QString Span0To5 = QStringLiteral("0-5V");
const QString Span0To10 = QStringLiteral("0-10V");

} // namespace

CalibrationLogic::CalibrationLogic(DeviceState &state, UserDialogs &dialogs, Sender send, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_send(std::move(send))
{
}

CalibrationLogic::OutputLevels CalibrationLogic::designedLevels()
{
    return { QStringLiteral("4mA"), QStringLiteral("20mA"), Span4To20, 4, 20, 4 };
}

std::optional<CalibrationLogic::OutputLevels> CalibrationLogic::levelsFor(qint16 outputType)
{
    switch (outputType) {
    case 0:
        return designedLevels();
    case 1:
        return OutputLevels { QStringLiteral("0V"), QStringLiteral("5V"), Span0To5, 0, 5, 0 };
    case 2:
        return OutputLevels { QStringLiteral("0V"), QStringLiteral("10V"), Span0To10, 0, 10, 0 };
    default:
        return std::nullopt;
    }
}

double CalibrationLogic::percentFor(const QString &outputCaption, int level)
{
    const double l = level;
    if (outputCaption == Span4To20)
        return (l - 4.0) * 6.25;
    if (outputCaption == Span0To5)
        return l * 20.0;
    if (outputCaption == Span0To10)
        return l * 10.0;
    return 0.0;
}

std::optional<int> CalibrationLogic::minLevelFor(const QString &outputCaption)
{
    if (outputCaption == Span4To20)
        return 4;
    if (outputCaption == Span0To5 || outputCaption == Span0To10)
        return 0;
    return std::nullopt;
}

std::optional<int> CalibrationLogic::maxLevelFor(const QString &outputCaption)
{
    if (outputCaption == Span4To20)
        return 20;
    if (outputCaption == Span0To5)
        return 5;
    if (outputCaption == Span0To10)
        return 10;
    return std::nullopt;
}

bool CalibrationLogic::accepts(const IntItem &item, double value)
{
    return value > double(item.minimum) - 1.0 && value < double(item.maximum) + 1.0;
}

QString CalibrationLogic::refusalText(const IntItem &item)
{
    return QStringLiteral("Invalid entry, value must be between ") + Values::FormatInt(item.minimum)
        + QStringLiteral(" and ") + Values::FormatInt(item.maximum);
}

QString CalibrationLogic::readCommand(const IntItem &item)
{
    return Values::FormatInt(item.code) + item.typeLetter;
}

QString CalibrationLogic::writeCommand(const IntItem &item, qint16 value)
{
    return readCommand(item) + Values::FormatInt(value);
}

QString CalibrationLogic::testCommand(const QString &outputCaption, int level)
{
    const float percent = Values::CSng(percentFor(outputCaption, level));
    return Values::FormatInt(TestItemCode) + QStringLiteral("f") + Values::FormatSingle(percent);
}

int CalibrationLogic::upDownNumber(const QString &text)
{
    const double v = Values::Val(text);
    if (std::isnan(v))
        return 0;
    constexpr double lo = std::numeric_limits<qint32>::min();
    constexpr double hi = std::numeric_limits<qint32>::max();
    return Values::CLng(std::clamp(v, lo, hi));
}

void CalibrationLogic::Form_Load()
{
    m_formLoading = true;
    Q_EMIT dacRangeSet(End::Low, m_state.MinDacItem.minimum, m_state.MinDacItem.maximum);
    Q_EMIT dacRangeSet(End::High, m_state.MaxDacItem.minimum, m_state.MaxDacItem.maximum);
    readDac(End::Low);
    readDac(End::High);
    const std::optional<OutputLevels> levels = levelsFor(m_state.OutputType);
    if (levels) {
        m_outputCaption = levels->outputCaption;
        Q_EMIT outputLevelsSet(*levels);
    }
    m_formLoading = false;
}

void CalibrationLogic::readDac(End end)
{
    IntItem &record = item(end);
    send(readCommand(record));
    const QString reply = m_state.ReplyValue;
    const int number = upDownNumber(reply);
    Q_EMIT dacTextSet(end, reply);
    Q_EMIT dacUpDownSet(end, number);
    try {
        record.value = Values::CInt(number);
    } catch (const Values::OverflowError &) {
        // A reply beyond 16 bits cannot be a converter value; keep the last one we know.
    }
}

void CalibrationLogic::txtDAC_Change(End end, const QString &text)
{
    if (m_formLoading)
        return;
    IntItem &record = item(end);
    const double v = Values::Val(text);
    if (accepts(record, v)) {
        const int number = upDownNumber(text);
        Q_EMIT dacUpDownSet(end, number);
        record.value = Values::CInt(std::clamp<int>(number, record.minimum, record.maximum));
        send(writeCommand(record, record.value));
        return;
    }
    m_dialogs.message(refusalText(record), UserDialogs::Icon::Exclamation);
    // Putting the last accepted value back is itself a change and sends that value again.
    Q_EMIT dacTextSet(end, Values::FormatInt(record.value));
}

void CalibrationLogic::UpDownDAC_Change(End end, int value)
{
    // While loading the box keeps the reply text as it came, and a failed sequence stays latched.
    if (m_formLoading)
        return;
    m_state.CommAbort = false;
    Q_EMIT dacTextSet(end, Values::FormatInt(value));
}

void CalibrationLogic::UpDownTest_Change(int level, bool windowVisible)
{
    // Opening the window must not move the output.
    if (!windowVisible || m_formLoading)
        return;
    m_state.CommAbort = false;
    Q_EMIT testLevelShown(Values::FormatInt(level));
    send(testCommand(m_outputCaption, level));
}

void CalibrationLogic::btnMin_Click()
{
    if (const std::optional<int> level = minLevelFor(m_outputCaption))
        Q_EMIT testLevelSet(*level);
}

void CalibrationLogic::btnMax_Click()
{
    if (const std::optional<int> level = maxLevelFor(m_outputCaption))
        Q_EMIT testLevelSet(*level);
}

void CalibrationLogic::Form_Unload()
{
    // A latch left by an earlier failure would silently skip the store and lose the trim; try it.
    m_state.CommAbort = false;
    send(QStringLiteral("W"));
    send(QStringLiteral("F"));
}

void CalibrationLogic::send(const QString &command)
{
    m_state.CommandString = command;
    if (m_send)
        m_send();
}
