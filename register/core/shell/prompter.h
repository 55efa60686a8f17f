#pragma once

#include <exception>
#include <string>

// Message boxes, answered by a person in the program and by a script in
// tests. Text is UTF-8.
namespace quorva {

inline constexpr const char* kApplicationTitle = "Marivel";

enum class PromptIcon { None, Information, Warning, Error };
enum class PromptButtons { Ok, YesNo };
enum class PromptAnswer { Ok, Yes, No };

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer Show(const std::string& text, const std::string& caption, PromptIcon icon,
                              PromptButtons buttons) = 0;
};

// The error box's text: the message with a full stop added when its last
// character sorts after "." (a message already ending in "." gets none).
std::string ErrorBoxText(const std::string& message);

// The program's top-level handler: runs one command and shows what it
// raises in the error box; the window stays up.
template <typename Command>
void RunCommand(Prompter& prompter, Command&& command)
{
    try {
        command();
    } catch (const std::exception& e) {
        prompter.Show(ErrorBoxText(e.what()), kApplicationTitle, PromptIcon::Error, PromptButtons::Ok);
    }
}

}  // namespace quorva
