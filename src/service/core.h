#pragma once
// CCore, the service class: paths, fields, files, settings and dialogs.
// The settings and dialog operations go through the store and host that the
// front end installs; everything else is implemented here without a window.
//
// Threads: the worker calls isPathExist, getFg, renameFolder, UTF8_ANSI and
// outTxtFile while the dialog's thread may call getStrInt, openUrl and uu;
// all of these are safe to call from both at once. Installing a store or a
// host happens before any run.

#include <string>

#include "platform/io_result.h"

class CSettingsStore;
class CDialogHost;
struct tagSoft;

// What outTxtFile did. Anything but Written leaves the original byte-identical.
enum class WriteStatus {
    Written,
    Changed,  // the file is no longer the one that was read: left alone
    Refused,  // not safe to replace (link leads nowhere, not a regular file, ...)
    Failed,   // a system call failed (disk full, short write, I/O error, ...)
};

struct CWriteResult {
    WriteStatus status = WriteStatus::Written;
    CIoResult io;  // what the platform layer reported

    bool Ok() const { return status == WriteStatus::Written; }
};

class CCore {
  public:
    CCore() = default;
    CCore(const CCore&) = delete;
    CCore& operator=(const CCore&) = delete;

    // Not owned; may be null (settings then read as empty, messages go to stderr).
    void SetSettingsStore(CSettingsStore* store) { m_pStore = store; }
    void SetDialogHost(CDialogHost* host) { m_pHost = host; }

    void autoFileConfig();
    // The prefix of the rules file names: the program's folder in the user's
    // config folder plus the program name, e.g. ~/.config/Vexa/vexa. The folder
    // is created when missing. XDG_CONFIG_HOME moves it (see user_folders.h).
    // Empty when the user has no config folder: callers refuse then.
    std::string getAppPath();
    // The same prefix, without creating anything (for readers of the rules files).
    std::string AppPrefix() const;
    // Makes sure path exists as a file; existing content is never touched.
    bool createFile(const std::string& path, int mode);

    std::string getConfigStr(const char* key);
    int getConfigB(const char* key);
    void saveConfigStr(const char* key, const std::string& value);
    void saveConfigB(const char* key, int value);

    // Non-zero when path names an existing folder (resp. regular file), links followed.
    int isPathExist(const std::string& path);
    int isFileExist(const std::string& path);
    // The same folder, ending in exactly one "/"; empty text stays empty.
    std::string parsePath(const std::string& path);
    // Field n (from 0) of text split at each sep; empty pieces count; empty beyond the last.
    std::string getFg(const std::string& text, char sep, int n);

    void msgboxWarning(void* owner, const std::string& text);
    int msgboxConfirm(void* owner, const std::string& text);
    // Plain decimal digits.
    std::string getStrInt(int value);
    void openUrl(const std::string& target);

    // Moves the folder from to the name to, never replacing anything that
    // exists at to. 1 on success, 0 on failure with errno left in *error.
    int renameFolder(const char* from, const char* to, int* error = nullptr);

    // Replaces the file at path atomically with content (working-code-page
    // text), written back in the encoding and byte order mark the file has.
    // expected, when given, is the stamp of the read the content came from:
    // a file that no longer matches it is left alone (WriteStatus::Changed).
    CWriteResult outTxtFile(const std::string& content, const std::string& path,
                            const CFileStamp* expected = nullptr);

    // The working text is already in the working code page here, so the
    // conversion a UTF-16 BE file needed on the original platform is the identity.
    void UTF8_ANSI(std::string& text);

    std::string uu(int operation, const tagSoft* soft, const std::string& text);

  private:
    CSettingsStore* m_pStore = nullptr;
    CDialogHost* m_pHost = nullptr;
};

// The one service object, from dialog initialisation to destruction (or the
// whole run of the command line).
extern CCore* g_pCore;
