// SPDX-License-Identifier: MIT
#include "fakes/SlotRecord.h"

void RecordSlots(TextBox& box, SlotRecord& record)
{
    box.KeyPress = [&box, &record](std::int16_t& keyCode) {
        record.keys.push_back(keyCode);
        record.selections.push_back(box.SelLength());
        if (keyCode == 'x' || keyCode == 22) {
            keyCode = 0;
        }
    };
    box.Change = [&record](std::string_view before, std::string_view after) {
        record.changes.push_back(std::string(before) + "|" + std::string(after));
        std::string digits;
        for (char c : after) {
            if (c >= '0' && c <= '9') {
                digits += c;
            }
        }
        return TextEdit{digits, digits.size()};
    };
    box.LostFocus = [&record] { ++record.focusLosses; };
}
