#include <cstdio>
#include <cstdlib>

#include "ui/replace_app.h"

namespace {

bool HaveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    // Without a display Qt would abort; say what is missing instead.
    if (!HaveDisplay()) {
        std::fprintf(stderr,
                     "vexa: no display found (DISPLAY and WAYLAND_DISPLAY are empty).\n"
                     "vexa: start it from a desktop session, or under xvfb-run.\n");
        return 1;
    }
    CReplaceApp app(argc, argv);
    return app.InitInstance();
}
