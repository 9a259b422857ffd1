// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/devicestate.h"

class QLabel;
class QLineEdit;
class QString;
class UserDialogs;

// Field flagging shared by every window: a flagged field has a red caption and a visible "!" marker.
// Either label may be null where a field has none.
void FlagField(QLabel *caption, QLabel *marker);
void UnflagField(QLabel *caption, QLabel *marker);
// Flagged means the marker is shown; works while the window itself is still hidden.
bool IsFieldFlagged(const QLabel *marker);

// The end of a change handler: clears the field, or flags it when its number was not stored (see
// Values::FitsSingle), rather than clear the text.
void FlagUnlessStored(bool stored, QLabel *caption, QLabel *marker);

// Range checks of a text box against a record's limits. An invalid field is flagged, gets the focus
// back with its whole text selected, and the user is told the limits; returns true when invalid.
// An empty text is never invalid. CheckRealField passes a disabled field without looking at it.
bool CheckRealField(
    QLineEdit *field, const RealItem &range, QLabel *caption, QLabel *marker, UserDialogs &dialogs);
bool CheckIntField(
    QLineEdit *field, const IntItem &range, QLabel *caption, QLabel *marker, UserDialogs &dialogs);
