#pragma once
// What vexa-cli shows while a run goes on. --list: each change on stdout as
// the run reports it, in walk order; paths go out as the engine has them,
// bytes in the locale's character set, quoted when unusual so that each
// line reads back to the exact name. --diff: each changed file's diff on
// stdout, the list held until after the diffs, as one block. --json: every
// event as a JSON object on stdout, and the summary after them.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/run/run_state.h"

class CConsoleProgress;

class CCliObserver : public CRunObserver {
  public:
    // color: the diffs in colour; json: JSON Lines instead of text.
    CCliObserver(CConsoleProgress& progress, bool list, bool diff, bool color, bool json)
        : m_progress(progress), m_bList(list), m_bDiff(diff), m_bColor(color), m_bJson(json) {}
    void OnEvent(const CRunEvent& e) override;
    bool WantsChanges() const override { return m_bDiff; }
    void OnChange(const std::string& path, std::string_view oldText,
                  std::string_view newText) override;
    // --json: the run's summary object.
    void Summary(const CRunResult& result, bool stopped, std::int64_t elapsedMs);
    // Whether everything reached stdout; says so on stderr when not.
    bool Flush();

  private:
    CConsoleProgress& m_progress;
    // Writes bytes to stdout as they are.
    void WriteRaw(const std::string& bytes);

    const bool m_bList, m_bDiff, m_bColor, m_bJson;
    std::string m_held;  // the list, while diffs go out
    bool m_bFailed = false;
};
