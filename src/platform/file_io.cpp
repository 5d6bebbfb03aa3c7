// The parts of reading that are the same on every system: whole files,
// through the reader of the system's own sources.
#include "platform/file_io.h"

CIoResult CFileReader::ReadRest(std::string& bytes, std::uint64_t maxBytes) {
    if (m_stamp.size >= maxBytes)
        return {IoStatus::TooLarge, 0};
    // To the end of the file, not just the size seen at open: a file that
    // grows meanwhile is not cut, and its stamp no longer matches at write time.
    size_t have = bytes.size();
    bytes.resize(have + static_cast<size_t>(m_stamp.size) + 1);
    for (;;) {
        if (have == bytes.size()) {
            if (bytes.size() >= maxBytes) {
                bytes.clear();
                return {IoStatus::TooLarge, 0};
            }
            bytes.resize(bytes.size() * 2);
        }
        size_t got = 0;
        if (CIoResult r = Read(bytes.data() + have, bytes.size() - have, got); !r.Ok()) {
            bytes.clear();
            return r;
        }
        if (got == 0)
            break;
        have += got;
        // A short read after the size seen at open is the end: no read of
        // nothing is needed to see it (reads stop short of 2 GiB otherwise).
        if (have < bytes.size() && have >= m_stamp.size)
            break;
    }
    bytes.resize(have);
    return {};
}

CIoResult ReadFileAt(const CDir& dir, const CPlatformName& name, std::string& bytes,
                     CFileStamp& stamp, std::uint64_t maxBytes) {
    bytes.clear();
    CFileReader reader;
    if (CIoResult r = reader.Open(dir, name); !r.Ok())
        return r;
    stamp = reader.Stamp();
    return reader.ReadRest(bytes, maxBytes);
}

CIoResult ReadFilePath(const std::string& path, std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    CFileReader reader;
    if (CIoResult r = reader.OpenPath(path); !r.Ok())
        return r;
    return reader.ReadRest(bytes, maxBytes);
}
