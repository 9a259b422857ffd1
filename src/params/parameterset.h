// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include <QString>

#include "link/devicestate.h"
#include "params/fieldfilter.h"

// One parameter of a family's setup: the record that holds it, how the window shows and edits it,
// and what decides whether it takes part in a transfer.
struct Parameter
{
    enum class Kind { List, Integer, Real, Password };
    enum class Rule {
        Always,
        MassUnit, // only while the rate units list shows "Kgs" or "Lbs"
        NotLiquid, // only while the meter type list shows neither "Oil" nor "Water"
        KfactorUnits, // its record is the K factor entry of the K factor units position
    };

    int code; // the item code the shipped configuration gives the record
    const char *name; // the parameter's name as a person reads it
    Kind kind;
    IntItem DeviceState::*intRecord = nullptr; // lists, integers and the password
    RealItem DeviceState::*realRecord = nullptr; // reals (none for the K factor: see Rule)
    qint16 DeviceState::*position = nullptr; // lists whose index is kept beside the record
    const char *control = ""; // object names of the window's controls
    const char *caption = "";
    const char *marker = "";
    int typingLimit = 0; // characters a user may type; 0 for no limit
    Rule rule = Rule::Always;
    const char *cleared = ""; // the text Clear all Data leaves in a text field

    // Greyed or hidden by another field's choice, and then neither sent nor required.
    bool switchable() const { return rule == Rule::MassUnit || rule == Rule::NotLiquid; }
    bool isText() const { return kind != Kind::List; }
    FieldFilter::Class filter() const
    {
        return kind == Kind::Real ? FieldFilter::Class::Decimal : FieldFilter::Class::Digits;
    }
    QString controlName() const { return QString::fromLatin1(control); }
};

// A family's parameters in the device's item order, which Read Setup and Download Setup follow.
class ParameterSet final
{
public:
    // clearing: the text fields' control names in the order Clear all Data empties them, when it
    // differs from the item order.
    explicit ParameterSet(std::vector<Parameter> rows, std::vector<const char *> clearing = {});

    const std::vector<Parameter> &rows() const { return m_rows; }
    const Parameter *find(const QString &control) const;
    int indexOf(const Parameter &parameter) const;
    const Parameter &linearPts() const; // every family has one
    // The list whose position chooses the K factor's record; nullptr for a family without one.
    const Parameter *kfactorUnits() const;
    // Clear all Data's order: every list in item order, then the text fields.
    std::vector<const Parameter *> clearingOrder() const;
    // The two flow fields are cleared and unflagged as a pair.
    static bool isFlowPair(const Parameter &parameter);
    // A number of points beyond the rows of the points window, or one between two rows ("2.5"): its
    // record holds it, but the point tables do not, so it counts as never entered, whatever the
    // configuration allows.
    static bool unusablePoints(const QString &count);

    // The K factor entry for a units position; only positions 0 and 1 have one.
    static const RealItem *kfactorRecord(const DeviceState &records, int position);
    // The password as the window shows it: the number with at least four digits (7 -> "0007").
    static QString passwordText(const QString &value);
    // The same for a value whose number was read by other rules (a data file's decimal point).
    static QString passwordText(const QString &value, double number);

    static const ParameterSet &dravion();
    static const ParameterSet &mr();

private:
    std::vector<Parameter> m_rows;
    std::vector<const char *> m_clearing;
};
