#pragma once
// A folder of its own for each test, removed afterwards, with helpers to
// build trees and to read files back byte for byte.

#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// Points XDG_CONFIG_HOME at dir/config, XDG_DATA_HOME at dir/data and the
// working code page at UTF-8 for its lifetime; puts them back afterwards.
class CConfigHome {
  public:
    explicit CConfigHome(const CTempDir& dir);
    ~CConfigHome();

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

// Writes bytes to path, creating parent folders. Fails the test on failure.
void WriteFileBytes(const std::string& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);
// Creates each (relative name, content) under root; a name ending in "/" makes a folder.
void MakeTree(const std::string& root,
              const std::vector<std::pair<std::string, std::string>>& entries);
// Removes a tree; links are removed, never followed.
void RemoveTree(const std::string& path);
