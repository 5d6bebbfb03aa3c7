#include "cli/cli_list_sink.h"

#include <cstdio>

#include "cli/cli_texts.h"
#include "cli/console_host.h"
#include "cli/console_progress.h"
#include "engine/report/name_quote.h"
#include "platform/console.h"

void CListSink::OnEvent(const CRunEvent& e) {
    std::string line;
    if (e.kind == RunEventKind::Rewritten)
        line = QuoteName(e.path) + "\n";
    else if (e.kind == RunEventKind::Renamed)
        line = QuoteName(e.path) + " -> " + QuoteName(e.newPath) + "\n";
    if (line.empty())
        return;
    if (m_bHold) {
        m_held += line;
        return;
    }
    m_progress.Finish();  // a line of the list never lands inside the progress line
    m_bFailed = m_bFailed || !WriteConsoleText(stdout, line);
}

bool CListSink::Flush() {
    m_bFailed = m_bFailed || !WriteConsoleText(stdout, m_held);
    if (!m_bFailed && std::fflush(stdout) == 0)
        return true;
    WriteLocaleText(stderr, std::string(kStdoutFailed) + "\n");
    return false;
}
