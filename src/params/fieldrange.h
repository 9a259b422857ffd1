// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "link/devicestate.h"

// The range checks' verdicts without a widget: which texts a field refuses against a record's
// limits, and what the user is told. An empty text is never refused.
namespace FieldRange {

bool refusesInt(const QString &text, const IntItem &range);
bool refusesReal(const QString &text, const RealItem &range);

// "<caption>  Field must be between <minimum> and <maximum>"
QString message(const QString &caption, const IntItem &range);
QString message(const QString &caption, const RealItem &range);

} // namespace FieldRange
