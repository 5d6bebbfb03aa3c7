#pragma once
// CRulesDocument: one rules file as the rules editor shows it, a row per
// line. A line that is one rule of two texts is a row to edit; any other
// line (no grave accent, more than one, an empty field, text the working
// code page cannot read) is kept as it is, with what it does when the
// rules load. Saving writes the file as it was, in its encoding and byte
// order mark, each line with the break it had (new lines with the file's),
// a trailing Ctrl-Z kept; rows nobody edited keep their bytes.
//
// Every row is checked as the loader checks a line (prep/rule_check.h),
// after each change. Front end's thread only.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run/job.h"
#include "platform/io_result.h"
#include "prep/rule_check.h"
#include "prep/rules_file_reader.h"

struct CRulesRow {
    bool bKept = false;    // a line kept as it is, not editable
    std::string cells[2];  // a rule's two texts, UTF-8, "\n" a line break
    std::string note;      // a kept line: what it does when the rules load
    std::string problem;   // why the rule cannot be saved; empty when it can
};

class CRulesDocument {
  public:
    explicit CRulesDocument(RulesFile file) : m_file(file) {}

    RulesFile File() const { return m_file; }
    const std::string& Path() const { return m_path; }

    // Reads the file at path; a missing file is an empty document that
    // saving creates. Empty when read, else why not (UTF-8).
    std::string Load(const std::string& path);
    // The rows of a file's bytes, as Load makes them.
    void LoadBytes(std::string_view bytes);
    // The file's bytes for the rows as they stand.
    std::string ToBytes() const;

    enum class SaveOutcome { Saved, ChangedElsewhere, Failed };
    // Replaces the file atomically, unless it changed since it was read
    // (ChangedElsewhere) or a row is invalid; why is set when not Saved.
    SaveOutcome Save(std::string& why);

    size_t RowCount() const { return m_lines.size(); }
    const CRulesRow& Row(size_t i) const { return m_lines[i].row; }
    // Sets a rule's cell (column 0 or 1); "\r\n" and "\r" become "\n".
    void SetCell(size_t row, int column, const std::string& utf8);
    // Inserts an empty rule before row at (RowCount() to append).
    void InsertRule(size_t at);
    void RemoveRow(size_t row);
    // Swaps row with the one above (up) or below; false at the edge.
    bool MoveRow(size_t row, bool up);

    bool Modified() const { return m_bModified; }
    size_t InvalidCount() const;
    // The problem of the first invalid row; empty when none.
    std::string FirstProblem() const;
    // The rules as a run would store them, in order ("^" as CR LF).
    // regexFind: as loaded with the regex mode, a find text's "^" its own.
    std::vector<CReplaceRuleText> Rules(bool regexFind = false) const;
    int RuleCount() const { return static_cast<int>(Rules().size()); }

  private:
    struct CLine {
        CRulesRow row;
        std::string raw;   // its bytes in the file, without the break
        std::string end;   // the break after it; empty for a last line without one
        std::string text;  // raw in the working code page, when bDecoded
        bool bDecoded = false;
        bool bEdited = false;  // raw no longer holds it: encode the cells
    };

    void Describe(CLine& line, size_t number) const;
    std::string RowProblem(const CLine& line, size_t number, int rulesBefore) const;
    void CheckRows();
    bool Encode(const CRulesRow& row, std::string& bytes) const;
    bool FileText(std::string_view working, std::string& bytes) const;
    // Field 0 and field 1 of a kept line that loads as a rule.
    bool KeptRule(const CLine& line, std::string& field0, std::string& field1) const;

    RulesFile m_file;
    std::string m_path;
    bool m_bMissing = false;  // no file at m_path yet
    CFileStamp m_stamp;       // the file as read; a save expects it unchanged
    RulesCharset m_charset = RulesCharset::Working;
    std::string m_mark;     // the byte order mark as it was
    std::string m_lineEnd;  // the file's line break, for lines that had none
    std::string m_tail;     // from the Ctrl-Z on
    std::vector<CLine> m_lines;
    bool m_bModified = false;
};
