#include "cli/cli_observer.h"

#include <cstdio>

#include "cli/cli_diff.h"
#include "cli/cli_texts.h"
#include "cli/console_host.h"
#include "cli/console_progress.h"
#include "cli/json_lines.h"
#include "engine/report/name_quote.h"
#include "engine/report/text_diff.h"
#include "platform/code_page.h"
#include "platform/console.h"

void CCliObserver::OnEvent(const CRunEvent& e) {
    if (m_bJson)
        return WriteRaw(JsonEventLine(e));
    if (!m_bList)
        return;
    std::string line;
    if (e.kind == RunEventKind::Rewritten)
        line = QuoteName(e.path) + "\n";
    else if (e.kind == RunEventKind::Renamed)
        line = QuoteName(e.path) + " -> " + QuoteName(e.newPath) + "\n";
    else if (e.kind == RunEventKind::Binary)
        line = Tr(kBinaryListed) + QuoteName(e.path) + "\n";
    if (line.empty())
        return;
    if (m_bDiff) {
        m_held += line;
        return;
    }
    m_progress.Finish();  // a line of the list never lands inside the progress line
    m_bFailed = m_bFailed || !WriteConsoleText(stdout, line);
}

void CCliObserver::OnChange(const std::string& path, std::string_view oldText,
                            std::string_view newText) {
    const CCodePage& cp = CCodePage::Working();
    std::vector<CDiffHunk> hunks;
    if (!DiffWorkingTexts(cp, oldText, newText, hunks))
        return;           // the rewriter only passes text it could decode
    m_progress.Finish();  // the diff may go to the same terminal
    WriteRaw(FormatFileDiff(cp, path, hunks, m_bColor));
    m_bFailed = m_bFailed || std::fflush(stdout) != 0;
}

void CCliObserver::Summary(const CRunResult& result, bool stopped, std::int64_t elapsedMs) {
    WriteRaw(JsonSummaryLine(result, stopped, elapsedMs));
}

void CCliObserver::WriteRaw(const std::string& bytes) {
    m_progress.Finish();
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        m_bFailed = true;
}

bool CCliObserver::Flush() {
    m_bFailed = m_bFailed || !WriteConsoleText(stdout, m_held);
    if (!m_bFailed && std::fflush(stdout) == 0)
        return true;
    WriteLocaleText(stderr, std::string(Tr(kStdoutFailed)) + "\n");
    return false;
}
