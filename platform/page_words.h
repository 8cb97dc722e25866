// The words a wizard page ends with, as platform::Ui::showPage returns them. Only the page
// seam (ui/page_frame) reads them; everything above it speaks in PageResult.
#pragma once

#include <string>

namespace word {
inline const std::string kNext = "next";
inline const std::string kBack = "back";
inline const std::string kCancel = "cancel";
inline const std::string kButton1 = "button1";
inline const std::string kButton2 = "button2";
inline const std::string kButton4 = "button4";
inline const std::string kOption1 = "option1";
inline const std::string kOption2 = "option2";
}  // namespace word
