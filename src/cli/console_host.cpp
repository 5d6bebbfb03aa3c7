#include "cli/console_host.h"

#include <algorithm>
#include <cctype>

#include "platform/code_page.h"
#include "platform/console.h"

std::string ToLocaleText(const std::string& utf8) {
    const CCodePage& cp = CCodePage::Working();
    if (cp.IsUtf8())
        return utf8;
    std::string out;
    if (ConvertCharset("UTF-8", cp.Name().c_str(), utf8, out))
        return out;
    if (ConvertCharset("UTF-8", (cp.Name() + "//TRANSLIT").c_str(), utf8, out))
        return out;
    return utf8;
}

void WriteLocaleText(std::FILE* stream, const std::string& utf8) {
    WriteConsoleText(stream, kConsoleTextIsUtf8 ? utf8 : ToLocaleText(utf8));
}

void CConsoleDialogHost::Warning(void* /*owner*/, const std::string& text) {
    WriteLocaleText(stderr, text + "\n");
}

int CConsoleDialogHost::Confirm(void* /*owner*/, const std::string& text) {
    WriteLocaleText(stderr, text + " [y/N] ");
    std::string answer;
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
        answer += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    answer.erase(std::remove_if(answer.begin(), answer.end(),
                                [](unsigned char c) { return std::isspace(c); }),
                 answer.end());
    return answer == "y" || answer == "yes" ? kYes : kNo;
}

// The command line has no desktop to open things in and no About box.
bool CConsoleDialogHost::OpenUrl(const std::string& /*target*/) {
    return false;
}

std::string CConsoleDialogHost::About(int /*operation*/, const tagSoft* /*soft*/,
                                      const std::string& /*text*/) {
    return {};
}
