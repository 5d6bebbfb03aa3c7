#pragma once
// The Qt results window as the shared results flow drives it. The window
// is made on first use, so the view asks for it each time.

#include <QString>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/results_flow.h"
#include "ui/results_window.h"

class CQtResultsView : public CResultsView {
  public:
    explicit CQtResultsView(std::function<CResultsWindow&()> window)
        : m_window(std::move(window)) {}

    void Begin(RunKind kind, const CJob& job) override { m_window().Begin(kind, job); }
    void Feed(const std::vector<CRunEvent>& events) override { m_window().Feed(events); }
    void Finish(const std::string& counts) override {
        m_window().Finish(QString::fromStdString(counts));
    }
    void SetUndoOffered(bool offered) override { m_window().SetUndoOffered(offered); }
    void SetRunOffered(bool offered) override { m_window().SetRunOffered(offered); }
    void ShowOnTop() override { m_window().ShowOnTop(); }

  private:
    std::function<CResultsWindow&()> m_window;
};
