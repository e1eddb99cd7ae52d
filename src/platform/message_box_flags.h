// Buttons, icons and answers of the system's message boxes, with the system's MB_ and ID
// numbers: the installer's logic asks with them and the toolkit shows them.
#pragma once

namespace platform {
namespace message_box {

enum MessageFlags : unsigned {
    kButtonsOk = 0x0,
    kButtonsOkCancel = 0x1,
    kButtonsYesNo = 0x4,
    kButtonsMask = 0xF, // the bits that choose the buttons
    kIconError = 0x10,
    kIconQuestion = 0x20,
    kIconExclamation = 0x30,
    kIconInformation = 0x40,
    kDefaultSecondButton = 0x100, // the second button (No of Yes/No) answers Enter
};
enum MessageAnswer : int { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

} // namespace message_box
} // namespace platform
