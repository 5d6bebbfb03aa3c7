#pragma once
// Text in the working code page as wide characters and back: UTF-32 where
// wchar_t holds 32 bits (Linux), UTF-16 where it holds 16 (Windows). Strict:
// false for input that is not valid text or a character the code page lacks.

#include <string>
#include <string_view>

class CCodePage;

bool DecodeWide(const CCodePage& cp, std::string_view text, std::wstring& out);
bool EncodeWide(const CCodePage& cp, std::wstring_view text, std::string& out);
