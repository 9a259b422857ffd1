// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include <QObject>
#include <QString>

#include "link/appcontext.h"
#include "params/setupmodel.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
struct DeviceFamily;
struct Parameter;

// A main window's setup fields as a view of the window's setup model: an edit goes to the model,
// and what the model changes (texts, choices, flags, greyed fields) is shown in the controls. The
// fields' key filters, typing limits and leave checks sit here. Each family adds how its own
// choices show on other fields.
class SetupFields : public QObject, private SetupModel::Listener
{
    Q_OBJECT

public:
    // One field's controls as the window built them; the control's object name names its row.
    struct Controls
    {
        QWidget *control = nullptr; // a QComboBox or a QLineEdit
        QLabel *caption = nullptr;
        QLabel *marker = nullptr;
    };

    // What the fields need of the linear points window.
    struct Points
    {
        std::function<bool(double)> markMissing; // marks the missing rows among the first n
        std::function<void(int row, int column, const QString &text)> enter; // as typed into a cell
    };

    ~SetupFields() override;

    SetupModel &model() { return m_model; }

    // Reads the family's configuration file of the folder into the records and lists.
    void loadConfigurationFrom(const QString &folder);
    QString configurationPath() const { return m_configPath; }

    bool CheckMissingFields(); // true when nothing required is missing
    void CheckDeviceVersion();

protected:
    SetupFields(SetupModel &model, const std::vector<Controls> &controls, AppContext &context, Points points,
        QObject *parent);

    const Parameter &row(const char *control) const;
    QComboBox *list(const Parameter &parameter) const;
    QLineEdit *field(const Parameter &parameter) const;
    QLabel *caption(const Parameter &parameter) const;

    // How a field greyed or opened by another field's choice shows.
    virtual void showActive(const Parameter &parameter) = 0;
    // What a list's new choice shows besides itself.
    virtual void showPosition(const Parameter &parameter) { Q_UNUSED(parameter); }
    void outputTypeReplied(qint16 reply) override { Q_UNUSED(reply); }

    bool eventFilter(QObject *watched, QEvent *event) override;

    AppContext &m_context;

private:
    void textChanged(const Parameter &parameter) override;
    void positionChanged(const Parameter &parameter) override;
    void flagChanged(const Parameter &parameter) override;
    void activeChanged(const Parameter &parameter) override { showActive(parameter); }
    void pointEntered(int row, int column, const QString &text) override;

    const Controls &controls(const Parameter &parameter) const;
    void leaveField(const Parameter &parameter);

    SetupModel &m_model;
    const DeviceFamily &m_family;
    std::vector<Controls> m_controls; // one per row, in the set's order
    Points m_points;
    QString m_configPath;
    bool m_showing = false; // a control shows the model's change; its signal is not an edit
    bool m_leaving = false; // a leave check is running; focus moves it causes start no other
};
