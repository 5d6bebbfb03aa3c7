#pragma once
// CAppSession: the process-wide objects of one front end's life. It is the
// only code that sets g_pCore, g_pSoft and g_jobTables: it creates them when
// it opens and releases them when it closes. A front end holds one and
// reaches the service class, the rules files and the settings through it.
//
// Dialog's (or the command line's) thread only; no run may be active when it
// closes (the run controller sees to that).

#include <optional>
#include <string>
#include <vector>

#include "app/dialog_settings.h"

class CCore;
class CDialogHost;
class CSettingsStore;
struct tagSoft;

// The program's own rules files, wherever a session stands (empty without
// a config folder): for help texts that name them.
std::string ProgramRulesFile(bool rename);

class CAppSession {
  public:
    // What the front end is: a dialog makes its config folder and both rules
    // files, and has a product record for About; the command line only reads.
    enum class Kind { Dialog, CommandLine };

    CAppSession(Kind kind, CSettingsStore* store, CDialogHost* host);
    ~CAppSession();
    CAppSession(const CAppSession&) = delete;
    CAppSession& operator=(const CAppSession&) = delete;

    CCore& Core();
    // The rules files' location prefix; empty when the user has no config folder.
    const std::string& AppPrefix() const;
    const std::string& ReplaceRulesPath() const;
    const std::string& RenameRulesPath() const;
    // Rules from elsewhere than the program's own files (the command line):
    // a path, and the bytes already read when it was a stream. An empty
    // rename path leaves the rename rules unread.
    void UseRules(const std::string& replacePath, std::optional<std::string> replaceBytes,
                  const std::string& renamePath, std::optional<std::string> renameBytes);
    // Rule lines given on the command line (working code page), loaded after
    // the rules of the files; with an empty path above, no file is read.
    void UseCommandLineRules(std::vector<std::string> rules, std::vector<std::string> renameRules);

    // Reads rules that come as a stream (standard input, a pipe) whole;
    // false with why (UTF-8, naming the path) when it cannot be read or
    // holds more than a rules file may.
    static bool ReadRulesStream(const std::string& path, std::string& bytes, std::string& why);
    // Reads a list of files to handle (a file, a pipe, standard input as
    // "-") whole; false with why (UTF-8, naming the path) when it cannot.
    static bool ReadFileList(const std::string& path, std::string& bytes, std::string& why);

    // The inputs saved last; the folders used last are loaded with them and
    // saved with the inputs.
    CDialogSettings LoadSettings();
    void SaveSettings(const CDialogSettings& settings);
    // The folders used last, newest first; a run or preview adds its own.
    const std::vector<std::string>& RecentFolders() const { return m_recentFolders; }
    void RememberFolder(const std::string& folder) { ::RememberFolder(m_recentFolders, folder); }

    // About: the product's identity, through the dialog host.
    void ShowAbout();
    // Opens a folder (folder set) or a file in the desktop's program for it.
    // Null when done, else why not (UTF-8): it is not there, or nothing
    // could open it. What is not there is never handed to the desktop, whose
    // handler would fail out of sight.
    const char* OpenTarget(const std::string& path, bool folder);

  private:
    tagSoft* m_pSoft = nullptr;
    std::vector<std::string> m_recentFolders;
};
