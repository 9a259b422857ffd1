// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QObject>
#include <QString>

#include "link/appcontext.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
struct DeviceFamily;
struct Parameter;

// Behaviour of a main window's setup fields, driven by its family's parameter rows: configuration,
// key filters, typing limits, store on change with flagging, leave checks, the missing-entry check.
// Each family adds what its own choices do to other fields.
class SetupFields : public QObject
{
    Q_OBJECT

public:
    // Reads the family's configuration file of the folder into the records and lists.
    void loadConfigurationFrom(const QString &folder);
    QString configurationPath() const { return m_configPath; }

    bool CheckMissingFields(); // true when nothing required is missing
    void CheckDeviceVersion();

    // A field greyed or hidden by another field's choice is neither read, sent nor required.
    bool isActive(const Parameter &parameter) const;
    void listClicked(const Parameter &parameter);
    void textChanged(const Parameter &parameter);
    void leaveField(const Parameter &parameter);

protected:
    // The controls are found in the window by the rows' object names; markMissingPoints is the
    // linear points window's check of the first n rows.
    SetupFields(const DeviceFamily &family, QWidget &window, AppContext &context,
        std::function<bool(double)> markMissingPoints, QObject *parent);

    // What a list's choice does besides storing it; the default stores it and clears the flag.
    virtual void listChanged(const Parameter &parameter) { listClicked(parameter); }
    const Parameter &row(const char *control) const;
    QComboBox *list(const Parameter &parameter) const;
    QLineEdit *field(const Parameter &parameter) const;
    QLabel *caption(const Parameter &parameter) const;
    QLabel *marker(const Parameter &parameter) const;

    bool eventFilter(QObject *watched, QEvent *event) override;

    AppContext &m_context;

private:
    struct Controls
    {
        QComboBox *list = nullptr;
        QLineEdit *field = nullptr;
        QLabel *caption = nullptr;
        QLabel *marker = nullptr;
    };

    const Controls &controls(const Parameter &parameter) const;
    void flowPairChanged();

    const DeviceFamily &m_family;
    std::vector<Controls> m_controls; // one per row, in the set's order
    std::function<bool(double)> m_markMissingPoints;
    QString m_configPath;
    bool m_leaving = false; // a leave check is running; focus moves it causes start no other
};
