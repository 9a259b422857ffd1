// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

struct Parameter;

// The captions a main window gives its fields, for texts made without the window: the offline
// check's range messages, the comparison's rows, the setup sheet.
namespace FieldCaptions {

// The caption label as the window is built with it: "K Factor:", "Flow at 4mA:", "SPG Comp".
QString label(const Parameter &parameter);
// The same without its colon: "K Factor", "Flow at 4mA".
QString name(const Parameter &parameter);

} // namespace FieldCaptions
