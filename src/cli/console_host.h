#pragma once
// The console stand-in for the dialog's message boxes: warnings go to stderr,
// the confirmation is asked on stderr and answered on stdin. The program's
// texts are UTF-8; the console gets them in the locale's character set.

#include <cstdio>
#include <string>

#include "service/dialog_host.h"

// text (UTF-8) in the locale's character set; characters it lacks are
// transliterated where iconv can, otherwise the text is left as it is.
std::string ToLocaleText(const std::string& utf8);

// Writes text (UTF-8) to stream in the locale's character set (on Windows
// as UTF-8, or with the wide console API to a console).
void WriteLocaleText(std::FILE* stream, const std::string& utf8);

class CConsoleDialogHost : public CDialogHost {
  public:
    void Warning(void* owner, const std::string& text) override;
    // Yes only for the answers y and yes (any case); end of input is No.
    int Confirm(void* owner, const std::string& text) override;
    bool OpenUrl(const std::string& target) override;
    std::string About(int operation, const tagSoft* soft, const std::string& text) override;
};
