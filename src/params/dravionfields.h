#pragma once

#include <functional>

#include <QObject>
#include <QString>

#include "link/appcontext.h"

struct AltMainControls;

// Behaviour of the Dravion setup fields: configuration, key filters, change handlers, range checks.
class DravionFields final : public QObject
{
    Q_OBJECT

public:
    // What the fields need of the main window they sit on.
    struct Host
    {
        AltMainControls *controls = nullptr;
        std::function<bool(double)> markMissingPoints; // the linear points window's check of the first n rows
    };

    DravionFields(Host host, AppContext &context, QObject *parent);
    void loadConfiguration();          // load step 4: the configuration file into records and lists
    bool CheckMissingFields();         // true when nothing required is missing
    void CheckDeviceVersion();
    void optType_Click(int Index);     // also called by Read Setup with the device's output type

    // Reads the configuration of another folder instead of the program's (the same steps as at load).
    void loadConfigurationFrom(const QString &folder);
    // The configuration file that was chosen at load.
    QString configurationPath() const { return m_configPath; }

    void txtKfactor_Change();
    void txtDamping_Change();
    void txtFlowLow_Change();
    void txtFlowHi_Change();
    void txtLinearPts_Change();
    void txtSpg_Change();
    void cboRateUnits_Click();
    void cboRateInterval_Click();
    void cboKfactorUnits_Click();
    void txtKfactor_LostFocus();
    void txtDamping_LostFocus();
    void txtFlowLow_LostFocus();
    void txtFlowHi_LostFocus();
    void txtLinearPts_LostFocus();
    void txtSpg_LostFocus();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void flowPairChanged();

    AltMainControls &m_controls;
    std::function<bool(double)> m_markMissingPoints;
    AppContext &m_context;
    QString m_configPath;
    bool m_leaving = false;   // a leave check is running; focus moves it causes start no other
    bool m_settingType = false;
};
