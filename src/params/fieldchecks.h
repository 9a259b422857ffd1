// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLabel;

// Field flagging shared by every window: a flagged field has a red caption and a visible "!" marker.
// Either label may be null where a field has none.
void FlagField(QLabel *caption, QLabel *marker);
void UnflagField(QLabel *caption, QLabel *marker);
// Flagged means the marker is shown; works while the window itself is still hidden.
bool IsFieldFlagged(const QLabel *marker);
