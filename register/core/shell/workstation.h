#pragma once

#include <string>

// Who works at this machine, as the history names them: the platform's
// user and computer names, a fixed pair in tests.
namespace quorva {

class Workstation {
public:
    virtual ~Workstation() = default;
    virtual std::string UserName() const = 0;
    virtual std::string MachineName() const = 0;
};

}  // namespace quorva
