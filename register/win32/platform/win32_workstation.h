#pragma once

#include "register/core/shell/workstation.h"

// The signed-in Windows user and this computer's name.
class Win32Workstation final : public quorva::Workstation {
public:
    std::string UserName() const override;
    std::string MachineName() const override;
};
