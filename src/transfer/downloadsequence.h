// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/setupsequence.h"

// The Download Setup exchanges: "V", the family's items in order (greyed or hidden fields
// skipped), the used linear points, then the store command "W". Values come from the records.
class DownloadSequence final : public SetupSequence
{
public:
    using SetupSequence::SetupSequence;

    // True when every exchange succeeded. Throws on a run-time error (a point count past the
    // point tables, a percentage beyond a 16-bit number); nothing more is sent then.
    bool run();

private:
    void writeItems();
    void writePoints();
    bool activeAfter(size_t index) const;
};
