#pragma once

#include <string>

inline constexpr const char* kMakerHomePage = "https://www.marivel.example/";
inline constexpr const char* kMakerHelpPage = "https://www.marivel.example/helpx.html";

// Opens an address in the user's browser; says nothing when it cannot.
void OpenWebLink(const std::string& address);
