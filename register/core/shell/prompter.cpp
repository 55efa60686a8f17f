#include "register/core/shell/prompter.h"

namespace quorva {

std::string ErrorBoxText(const std::string& message)
{
    // Compared as bytes: every non-ASCII UTF-8 byte sorts after ".".
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')) {
        return message + ".";
    }
    return message;
}

}  // namespace quorva
