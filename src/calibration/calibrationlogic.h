// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include <QObject>
#include <QString>

#include "link/devicestate.h"

class UserDialogs;

// Behaviour of the calibration window without widgets: reads and trims both converter ends live,
// drives the output to test levels and tells the device to store on closing. The window mirrors
// the signals into its controls and forwards the controls' changes to the handlers.
class CalibrationLogic final : public QObject
{
    Q_OBJECT

public:
    enum class End { Low, High };
    using Sender = std::function<void()>; // one exchange of state.CommandString

    // Captions and test range that belong to one output type.
    struct OutputLevels
    {
        QString lowCaption;
        QString highCaption;
        QString outputCaption;
        int minimum = 0;
        int maximum = 0;
        int start = 0;
    };

    static constexpr qint16 TestItemCode = 99;

    CalibrationLogic(DeviceState &state, UserDialogs &dialogs, Sender send, QObject *parent = nullptr);

    void setSender(Sender send) { m_send = std::move(send); }

    // The 4-20 mA row, which is also what the window shows for an unknown output type.
    static OutputLevels designedLevels();
    static std::optional<OutputLevels> levelsFor(qint16 outputType);
    // Share of the span for a test level, keyed on the output caption; 0 for an unknown caption.
    static double percentFor(const QString &outputCaption, int level);
    static std::optional<int> minLevelFor(const QString &outputCaption);
    static std::optional<int> maxLevelFor(const QString &outputCaption);
    static bool accepts(const IntItem &item, double value);
    static QString refusalText(const IntItem &item);
    static QString readCommand(const IntItem &item);
    static QString writeCommand(const IntItem &item, qint16 value);
    static QString testCommand(const QString &outputCaption, int level);
    // Leading number of a reply as an up-down value; out-of-range numbers are clamped.
    static int upDownNumber(const QString &text);

    IntItem &item(End end) { return end == End::Low ? m_state.MinDacItem : m_state.MaxDacItem; }
    bool FormLoading() const { return m_formLoading; }
    const QString &outputCaption() const { return m_outputCaption; }

    // Handlers, named after the controls they serve.
    void Form_Load();
    void Form_Unload();
    void txtDAC_Change(End end, const QString &text);
    void UpDownDAC_Change(End end, int value);
    void UpDownTest_Change(int level, bool windowVisible);
    void btnMin_Click();
    void btnMax_Click();

Q_SIGNALS:
    void dacRangeSet(CalibrationLogic::End end, int minimum, int maximum);
    void dacTextSet(CalibrationLogic::End end, const QString &text);
    void dacUpDownSet(CalibrationLogic::End end, int value);
    void outputLevelsSet(const CalibrationLogic::OutputLevels &levels);
    void testLevelSet(int level);
    void testLevelShown(const QString &text);

private:
    void readDac(End end);
    void send(const QString &command);

    DeviceState &m_state;
    UserDialogs &m_dialogs;
    Sender m_send;
    bool m_formLoading = false;
    QString m_outputCaption = designedLevels().outputCaption;
};
