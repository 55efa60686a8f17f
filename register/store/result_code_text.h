#pragma once

#include <string>

// English sentence for an SQLite primary result code, used in error texts.
std::string ResultCodeText(int resultCode);
