#pragma once
// --list: each change on stdout as the run reports it, in walk order. Paths
// go out as the engine has them, bytes in the locale's character set,
// quoted when unusual so that each line reads back to the exact name. With
// --diff the list is held and comes after the diffs, as one block.

#include <string>

#include "engine/run/run_state.h"

class CConsoleProgress;

class CListSink : public CRunEventSink {
  public:
    CListSink(CConsoleProgress& progress, bool hold) : m_progress(progress), m_bHold(hold) {}
    void OnEvent(const CRunEvent& e) override;
    // Whether everything reached stdout; says so on stderr when not.
    bool Flush();

  private:
    CConsoleProgress& m_progress;
    bool m_bHold;
    std::string m_held;
    bool m_bFailed = false;
};
