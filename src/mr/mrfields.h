#pragma once

#include <QObject>
#include <QString>

#include "link/appcontext.h"

class QLabel;
class QLineEdit;
class frmMR;
struct Parameter;
class QComboBox;

// Behaviour of the MR setup fields: configuration, key filters, change handlers, the rules by
// which one choice greys other fields, range checks and the missing-entry check.
class MrFields final : public QObject
{
    Q_OBJECT

public:
    MrFields(frmMR &window, AppContext &context);

    // Reads Config.inf of the folder into the records and lists; only that file is ever read.
    void loadConfiguration(const QString &folder);
    QString configurationPath() const { return m_configPath; }

    bool CheckMissingFields(); // true when nothing required is missing
    void CheckDeviceVersion();

    // Enabled: white and editable with its caption enabled; disabled: both greyed, light grey box.
    static void EnableField(QLineEdit *field, QLabel *caption, bool enabled);
    // A field greyed by a choice is neither read, sent nor required.
    bool isActive(const Parameter &parameter) const;

    void cboRateUnits_Click();
    void cboMeterType_Click();
    void cboOutputMode_Click();
    void listClicked(const Parameter &parameter);
    void textChanged(const Parameter &parameter);
    void leaveField(const Parameter &parameter);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void flowPairChanged();
    QComboBox *list(const Parameter &parameter) const;
    QLineEdit *field(const Parameter &parameter) const;
    QLabel *label(const char *name) const;

    frmMR &m_window;
    AppContext &m_context;
    QString m_configPath;
    bool m_leaving = false; // a leave check is running; focus moves it causes start no other
};
