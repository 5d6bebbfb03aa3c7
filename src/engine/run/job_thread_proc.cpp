#include "engine/run/job_thread_proc.h"

unsigned JobThreadProc(JobParams* params) {
    params->worker->RunJob(params);
    delete params;
    return 0;
}
