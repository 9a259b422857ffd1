// SPDX-License-Identifier: GPL-3.0-or-later
#include "fieldcaptions.h"

#include <cstring>
#include <utility>

#include "params/parameterset.h"

QString FieldCaptions::label(const Parameter &parameter)
{
    // Where the caption is not the parameter's own name; the MR "SPG Comp" has no colon.
    static const std::pair<const char *, const char *> captions[] = {
        { "cboKfactorUnits", "K Factor Units:" },
        { "txtKfactor", "K Factor:" },
        { "txtFlowLow", "Flow at 4mA:" },
        { "txtFlowHi", "Flow at 20mA:" },
        { "txtLinearPts", "Linear Points:" },
        { "txtSPGcomp", "SPG Comp" },
    };
    for (const auto &[control, text] : captions) {
        if (std::strcmp(parameter.control, control) == 0)
            return QString::fromLatin1(text);
    }
    return QString::fromLatin1(parameter.name) + QLatin1Char(':');
}

QString FieldCaptions::name(const Parameter &parameter)
{
    QString text = label(parameter);
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}
