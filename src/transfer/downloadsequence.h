// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/setupsequence.h"

// The Download Setup exchanges: "V", the family's items in order (greyed or hidden fields
// skipped), the used linear points, then the store command "W". Values come from the records.
class DownloadSequence final : public SetupSequence
{
public:
    using SetupSequence::SetupSequence;

    enum class Ending {
        Done, // every exchange succeeded
        Failed, // an exchange failed; the link's state tells how
        RunError, // a point count past the point tables, a percentage past a 16-bit number
    };
    // Nothing more is sent after a run-time error.
    Ending run();

private:
    // False at a run-time error.
    bool writeItems();
    bool writePoints();
    bool activeAfter(size_t index) const;
};
