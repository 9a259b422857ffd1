// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct Parameter;

// What Read Setup and Download Setup read from and write into: a main window, or a setup model
// without widgets. Setting a position or a text stores it as the field's own handler would.
class SetupView
{
public:
    virtual ~SetupView() = default;

    // Shown and enabled; only asked for fields another field's choice can grey or hide.
    virtual bool isActive(const Parameter &parameter) const = 0;
    virtual int listPosition(const Parameter &parameter) const = 0;
    virtual int listCount(const Parameter &parameter) const = 0;
    virtual QString listText(const Parameter &parameter) const = 0; // the selected entry, "" for none
    virtual void setListPosition(const Parameter &parameter, int position) = 0;
    virtual QString text(const Parameter &parameter) const = 0;
    virtual void setText(const Parameter &parameter, const QString &text) = 0;
    // The device's answer to "I"; families with output type options select one.
    virtual void outputTypeReply(qint16 reply) { Q_UNUSED(reply); }
};
