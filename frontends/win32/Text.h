// Text conversions at the Windows boundary: the program's own texts are
// UTF-8; device names and the settings file stay in the system code page.
#pragma once

#include <string>

std::wstring WideFromUtf8(const std::string &utf8);
std::string Utf8FromWide(const std::wstring &wide);
std::string AnsiFromWide(const std::wstring &wide);
