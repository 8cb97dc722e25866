// Message boxes through MessageBoxW.
#pragma once

#include "platform/platform.h"

class MessageBoxUi : public platform::Ui {
public:
    platform::MessageAnswer messageBox(const std::u16string& text, const std::u16string& caption,
                                       platform::MessageKind kind) override;
};
