#include "ui/framework/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function at global scope; it cannot be called from
// inside a namespace.
static void RegisterResources() {
    Q_INIT_RESOURCE(resources);
}

void InitResources() {
    static const bool s_bDone = [] {
        RegisterResources();
        return true;
    }();
    (void)s_bDone;
}
