#pragma once
// A folder of its own for each test, removed afterwards, with helpers to
// build trees and to read files back byte for byte.

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dir.h"

class CTempDir {
  public:
    CTempDir();
    ~CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    // The folder, without a trailing "/".
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& relative) const { return m_path + "/" + relative; }

  private:
    std::string m_path;
};

// Points the config folder's variable (APPDATA on Windows) at dir/config, the
// data folder's at dir/data and the working code page at UTF-8 for its
// lifetime; puts them back afterwards.
class CConfigHome {
  public:
    explicit CConfigHome(const CTempDir& dir);
    ~CConfigHome();

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// A path of the tests (UTF-8 on Windows) as std::filesystem takes it; on
// Windows absolute with \\?\, so that no length limit applies.
std::filesystem::path NativePath(const std::string& path);
// The name that text (path text: UTF-8 on Windows) spells.
CPlatformName PlatformName(const std::string& text);
// Writes bytes to path, creating parent folders. Fails the test on failure.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Creates each (relative name, content) under root; a name ending in "/" makes a folder.
void MakeTree(const std::string& root,
              const std::vector<std::pair<std::string, std::string>>& entries);
// Removes a tree; links are removed, never followed.
void RemoveTree(const std::string& path);
