// The parts of a folder handle that are the same on every system: owning and
// moving it. Opening, listing and closing are the system's own.
#include <utility>

#include "platform/dir.h"

CDir::~CDir() {
    Close();
}

CDir::CDir(CDir&& other) noexcept : m_handle(std::exchange(other.m_handle, -1)), m_id(other.m_id) {}

CDir& CDir::operator=(CDir&& other) noexcept {
    if (this != &other) {
        Close();
        m_handle = std::exchange(other.m_handle, -1);
        m_id = other.m_id;
    }
    return *this;
}
