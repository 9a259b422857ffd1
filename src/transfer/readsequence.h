// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transfer/setupsequence.h"

// The Read Setup exchanges: "V", "I", the family's items in order (greyed or hidden fields
// skipped), then all ten linear point pairs. Replies go into the setup.
class ReadSequence final : public SetupSequence
{
public:
    using SetupSequence::SetupSequence;

    // True when every exchange succeeded. A reply a field cannot take skips only that field.
    bool run();

private:
    void readItems();
    void readPoints();
    void ReadOutputType();
};
