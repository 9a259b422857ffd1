#pragma once

class SetupTransfer;
class frmMR;

// The MR family's part of Read Setup and Download Setup: its fixed items in the device's order,
// before the linear points that both families transfer alike.
namespace MrTransfer {

// Exchanges besides the linear points that the progress bar counts.
constexpr int FixedExchanges = 17;

// Reads items 1 to 14, 17, 18, 19 and 100 into the window; greyed fields are not read.
void readItems(SetupTransfer &transfer, frmMR &window);
// Writes the same items; greyed fields are skipped, the password goes under item code "0019".
void downloadItems(SetupTransfer &transfer, frmMR &window);

} // namespace MrTransfer
