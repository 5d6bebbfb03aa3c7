#include "app/file_choice.h"

#include "engine/run/job.h"

void CFileChoice::ApplyTo(CJob& job) const {
    if (useFileList) {
        job.fileList = fileList;
        job.useFileList = true;
        return;
    }
    job.globs = globs;
    job.excludes = excludes;
    if (!suffixesGiven)
        job.extensions.clear();
}
